#include "brightnesscontrasttool.h"

#include "brightnesscontrast.h"
#include "framework/lvmainwindow.h"
#include "framework/lvscene.h"
#include "scene/brightnesscontrastimagecommand.h"
#include "scene/imageitem.h"
#include "scene/modifyimagecommand.h"
#include "scene/objectitem.h"

#include <QDebug>
#include <QDial>
#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>
#include <QtConcurrent>
#include <memory>

namespace {

QList<ImageItem *> selectedImages(LVScene *scene)
{
    QList<ImageItem *> images;
    const auto selected = scene->selectedItems();
    for (QGraphicsItem *item : selected) {
        if (item->type() == ObjectItem::ImageType)
            images << static_cast<ImageItem *>(item);
    }
    return images;
}

} // namespace

BrightnessContrastTool::BrightnessContrastTool(QObject *parent)
    : LVTool(parent), watcher(new QFutureWatcher<void>(this)), timer(new QTimer(this))
{
    timer->setInterval(100);
    connect(timer, &QTimer::timeout, this, &BrightnessContrastTool::make);
    connect(watcher, &QFutureWatcher<void>::finished, this, &BrightnessContrastTool::showPreview);
}

BrightnessContrastTool::~BrightnessContrastTool()
{
    // The running stripes write into jobs.
    stop();
}

QString BrightnessContrastTool::title() const
{
    return tr("Brightness and Contrast");
}

QWidget *BrightnessContrastTool::widget()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    auto *autoButton = new QPushButton(tr("Auto Correction"), page);
    connect(autoButton, &QPushButton::clicked, this, &BrightnessContrastTool::autoCorrection);
    grid->addWidget(autoButton, 0, 0, 1, 2);
    const auto addDial
            = [&](const QString &title, int column, void (BrightnessContrastTool::*slot)(int)) {
                  auto *box = new QGroupBox(title, page);
                  auto *dial = new QDial(box);
                  dial->setRange(-100, 100);
                  dial->setValue(0);
                  dial->setWrapping(false);
                  dial->setNotchTarget(20.0);
                  dial->setNotchesVisible(true);
                  connect(dial, &QDial::valueChanged, this, slot);
                  (new QVBoxLayout(box))->addWidget(dial);
                  grid->addWidget(box, 1, column);
                  return dial;
              };
    brightnessDial = addDial(tr("Brightness"), 0, &BrightnessContrastTool::brightnessChanged);
    contrastDial = addDial(tr("Contrast"), 1, &BrightnessContrastTool::contrastChanged);
    auto *resetButton = new QPushButton(tr("Reset"), page);
    connect(resetButton, &QPushButton::clicked, this, &BrightnessContrastTool::reset);
    grid->addWidget(resetButton, 3, 1);
    grid->setRowStretch(4, 1);
    return page;
}

void BrightnessContrastTool::brightnessChanged(int value)
{
    stop();
    brightness = value;
    requestPreview();
}

void BrightnessContrastTool::contrastChanged(int value)
{
    stop();
    contrast = value;
    requestPreview();
}

void BrightnessContrastTool::requestPreview()
{
    BrightnessContrastInfo request;
    request.brightness = brightness;
    request.contrast = contrast;
    pending << request;
    if (!timer->isActive())
        timer->start();
    if (mainWindow)
        mainWindow->saveDocumentToolState();
}

void BrightnessContrastTool::make()
{
    if (pending.isEmpty())
        return;
    // Of several requests within one tick only the newest counts.
    const BrightnessContrastInfo newest = pending.takeLast();
    pending.clear();
    LVScene *scene = this->scene();
    if (!scene)
        return;
    stop();
    jobs.clear();
    jobsScene = scene;
    scene->selectImagesIfNothingSelected();
    for (ImageItem *item : selectedImages(scene)) {
        BrightnessContrastInfo job;
        job.item = item;
        job.source = BrightnessContrast::prepared(item->currentImage());
        if (job.source.isNull())
            continue;
        job.result = BrightnessContrast::blankResult(
                job.source, BrightnessContrast::table(newest.brightness, newest.contrast));
        job.brightness = newest.brightness;
        job.contrast = newest.contrast;
        job.preview = true;
        const int rows = BrightnessContrast::stripeRows(job.source.height());
        for (job.firstRow = 0; job.firstRow < job.source.height(); job.firstRow += rows) {
            job.rowCount = rows;
            jobs << job;
        }
    }
    watcher->setFuture(QtConcurrent::map(jobs, &BrightnessContrastTool::adjust));
}

void BrightnessContrastTool::adjust(BrightnessContrastInfo &job)
{
    BrightnessContrast::apply(job.source, job.result,
                              BrightnessContrast::table(job.brightness, job.contrast), job.firstRow,
                              job.rowCount);
}

void BrightnessContrastTool::showPreview()
{
    if (watcher->isCanceled() || jobs.isEmpty() || !jobsScene)
        return;
    const auto present = jobsScene->items();
    for (const BrightnessContrastInfo &job : qAsConst(jobs)) {
        // An item removed meanwhile may be gone; the first stripe stands for its image.
        if (job.preview && job.firstRow == 0 && present.contains(job.item))
            job.item->setPreview(job.result);
    }
    jobs.clear();
    jobsScene->update();
}

void BrightnessContrastTool::stop()
{
    if (watcher->isRunning()) {
        watcher->cancel();
        watcher->waitForFinished();
    }
}

void BrightnessContrastTool::clearPreview()
{
    // Every image, not only the selected ones: a preview left on an image that lost its
    // selection would never go away.
    if (LVScene *scene = this->scene()) {
        const auto items = scene->items();
        for (QGraphicsItem *item : items) {
            if (item->type() == ObjectItem::ImageType)
                static_cast<ImageItem *>(item)->clearPreview();
        }
    }
}

void BrightnessContrastTool::autoCorrection()
{
    stop();
    LVScene *scene = this->scene();
    if (!scene)
        return;
    const QList<ImageItem *> images = selectedImages(scene);
    if (images.isEmpty())
        return;
    for (ImageItem *item : images) {
        const BrightnessContrast::Values values
                = BrightnessContrast::autoValues(item->currentImage());
        brightness = values.brightness;
        contrast = values.contrast;
    }
    qDebug() << "auto" << brightness << contrast;
    setDials(brightness, contrast);
    requestPreview();
}

void BrightnessContrastTool::ok()
{
    stop();
    LVScene *scene = this->scene();
    if (!scene)
        return;
    scene->selectImagesIfNothingSelected();
    QUndoStack *stack = scene->undoStack();
    stack->beginMacro(QString());
    for (ImageItem *item : selectedImages(scene)) {
        qDebug() << "BrightnessContrastTool::ok()";
        stack->push(new ModifyImageCommand(
                scene->activePage, item,
                std::make_shared<BrightnessContrastImageCommand>(brightness, contrast)));
    }
    stack->endMacro();
}

void BrightnessContrastTool::deactivate()
{
    qDebug() << "BrightnessContrastTool::deactivate()";
    if (brightness != 0 || contrast != 0) {
        qDebug() << "BrightnessContrastTool::deactivate() ok";
        ok();
    }
    reset();
}

void BrightnessContrastTool::reset()
{
    stop();
    // A request still waiting for the tick would bring the preview back.
    pending.clear();
    jobs.clear();
    clearPreview();
    repaint();
    resetWidgets();
}

void BrightnessContrastTool::resetWidgets()
{
    qDebug() << "BrightnessContrastTool::resetWidgets()";
    brightness = contrast = 0;
    setDials(0, 0);
}

void BrightnessContrastTool::setDials(int brightnessValue, int contrastValue)
{
    for (auto [dial, value] : { std::pair(brightnessDial.data(), brightnessValue),
                                std::pair(contrastDial.data(), contrastValue) }) {
        if (dial) {
            const QSignalBlocker blocker(dial);
            dial->setValue(value);
        }
    }
}

LVTool *BrightnessContrastTool::saveState()
{
    auto *state = new BrightnessContrastTool(nullptr);
    state->brightness = brightness;
    state->contrast = contrast;
    return state;
}

void BrightnessContrastTool::restoreState(LVTool *state)
{
    if (auto *saved = qobject_cast<BrightnessContrastTool *>(state)) {
        brightness = saved->brightness;
        contrast = saved->contrast;
        setDials(brightness, contrast);
    }
}
