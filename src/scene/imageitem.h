#pragma once

#include "imagecommand.h"
#include "objectitem.h"

#include <QImage>
#include <QList>
#include <QVector>
#include <memory>

// An object that shows an image, measured in units of 1/96 inch from the image's
// resolution. It keeps the image as it was before its first operation and the list of
// operations applied since, so that undo can rebuild any earlier state.
class ImageItem : public ObjectItem
{
public:
    explicit ImageItem(const QImage &image = QImage(), QGraphicsItem *parent = nullptr);
    ~ImageItem() override;

    int type() const override { return ImageType; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget = nullptr) override;
    void setProperty(int id, const QVariant &value) override;
    QVariant property(int id) const override;
    bool read(QDataStream &in, int version) override;
    void writeFields(QDataStream &out) const override;

    virtual void updateGeometry();

    const QImage &currentImage() const { return image; }
    void setImage(const QImage &newImage);
    const QImage *previewImage() const { return preview.get(); }
    void setPreview(const QImage &newPreview);
    void clearPreview();
    // Keeps the starting image and starts a preview from the current image.
    void ensurePreview();
    // Keeps a copy of the image before its first operation.
    void keepBaseImage();
    const QImage *baseImageCopy() const { return baseImage.get(); }
    void setLocked(bool lock);

    void applyOperation(const ImageOperation &operation);
    // Rebuilds the image from its starting copy without the last operation; the object
    // keeps its place.
    void undoLastOperation();
    const QList<ImageOperation> &appliedOperations() const { return operations; }

    bool locked = false;

protected:
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    // The eight resize handles of form images and the drag mode a press on each sets.
    QVector<QPointF> handleCentres() const;
    int handleAt(const QPointF &point) const;
    void paintResizeHandles(QPainter *painter);

    QImage image;
    std::unique_ptr<QImage> baseImage;
    std::unique_ptr<QImage> preview;
    QList<ImageOperation> operations;
};
