#pragma once

#include "framework/lvtool.h"

#include <QFutureWatcher>
#include <QImage>
#include <QList>
#include <QPointer>

class ImageItem;
class LVScene;
class QDial;
class QTimer;

// One stripe of rows of one image to adjust. The images are held by value: a document
// closed while the stripe runs cannot take its pixels away.
struct BrightnessContrastInfo
{
    ImageItem *item = nullptr;
    QImage source;
    QImage result;
    int contrast = 0;
    int brightness = 0;
    // True: the result goes to the item as its preview.
    bool preview = false;
    int firstRow = 0;
    int rowCount = 0;
};

// Adjusts the brightness and contrast of the selected images with two dials, or from the
// images' content. While the tool is current the adjusted images are computed in the
// background and shown instead of the images; the document changes, as one undo step,
// only when the tool is left.
class BrightnessContrastTool : public LVTool
{
    Q_OBJECT
public:
    explicit BrightnessContrastTool(QObject *parent);
    ~BrightnessContrastTool() override;

    QWidget *widget() override;
    int id() const override { return 9; }
    QString title() const override;
    void clearPreview() override;
    void stop() override;
    void deactivate() override;
    LVTool *saveState() override;
    void restoreState(LVTool *state) override;

    int brightness = 0;
    int contrast = 0;

public slots:
    void brightnessChanged(int value);
    void contrastChanged(int value);
    void autoCorrection();
    void make();
    void ok();
    void reset() override;

private:
    void requestPreview();
    void resetWidgets();
    void setDials(int brightnessValue, int contrastValue);
    // On the GUI thread once a computation has finished.
    void showPreview();
    static void adjust(BrightnessContrastInfo &job);

    QPointer<QDial> brightnessDial;
    QPointer<QDial> contrastDial;
    QFutureWatcher<void> *watcher;
    QList<BrightnessContrastInfo> jobs;
    // The scene the running jobs' items belong to.
    QPointer<LVScene> jobsScene;
    QTimer *timer;
    QList<BrightnessContrastInfo> pending;
};
