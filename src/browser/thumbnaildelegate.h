#pragma once

#include <QPointer>
#include <QStyledItemDelegate>

class ThumbnailSortFilterProxyModel;

// Paints a thumbnail cell: the picture on a common base line, its frame, and the name; and
// renames the file in place, editing only its base name.
class ThumbnailDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ThumbnailDelegate(QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void destroyEditor(QWidget *editor, const QModelIndex &index) const override;

    void setProxy(ThumbnailSortFilterProxyModel *model) { proxy = model; }

public slots:
    void commitAndCloseEditor();

private:
    ThumbnailSortFilterProxyModel *proxy = nullptr;
    // The editor whose name is being committed, possibly across a question's event loop;
    // a view letting it go meanwhile must not delete it under the commit.
    mutable QPointer<QWidget> committing;
    mutable bool destroyAfterCommit = false;
};
