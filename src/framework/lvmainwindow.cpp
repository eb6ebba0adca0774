#include "lvmainwindow.h"

#include "lvcombobox.h"
#include "lvmdichild.h"
#include "lvpagesetupdialog.h"
#include "lvscene.h"
#include "lvtool.h"
#include "lvtoolwatcher.h"
#include "platform/userfolders.h"
#include "scene/pageitem.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QSignalMapper>
#include <QStatusBar>
#include <QToolBar>
#include <QTranslator>
#include <QUndoGroup>
#include <QUndoStack>
#include <QUrl>

namespace {

// The name each catalogue gives its own language in the language menu.
const char *const workLanguageKey = QT_TRANSLATE_NOOP("LVMainWindow", "WorkLanguage");

} // namespace

LVMainWindow::LVMainWindow(bool mdi) : mdi(mdi)
{
    mdiArea = new QMdiArea;
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &LVMainWindow::updateMenus);
    connect(mdiArea, &QMdiArea::subWindowActivated, this, &LVMainWindow::describeActiveDocument);

    windowMapper = new QSignalMapper(this);
    connect(windowMapper, &QSignalMapper::mappedWidget, this, &LVMainWindow::setActiveSubWindow);

    undoGroup = new QUndoGroup(this);
    toolWatcher = new LVToolWatcher(this);
}

LVMainWindow::~LVMainWindow()
{
    // QWidget's destructor hides the area, which activates no window and would call
    // updateMenus on this half-destroyed window.
    disconnect(mdiArea, nullptr, this, nullptr);
    // Documents talk to this window while they go; they go while it is still whole.
    delete mdiArea;
}

void LVMainWindow::setProgramMode(int newMode)
{
    const int m = qMax(newMode, 0);
    if (programModeGroup) {
        if (QAbstractButton *button = programModeGroup->button(m))
            button->setChecked(true);
    }
    mode = m;
}

LVMdiChild *LVMainWindow::activeMdiChild() const
{
    if (QMdiSubWindow *window = mdiArea->activeSubWindow())
        return qobject_cast<LVMdiChild *>(window->widget());
    return nullptr;
}

LVMdiChild *LVMainWindow::currentMdiChild() const
{
    if (QMdiSubWindow *window = mdiArea->currentSubWindow())
        return qobject_cast<LVMdiChild *>(window->widget());
    return nullptr;
}

void LVMainWindow::saveDocumentToolState() {}

void LVMainWindow::showPosition(const QPoint &) {}

void LVMainWindow::setSelectedRect() {}

QGraphicsView *LVMainWindow::activeView() const
{
    return activeMdiChild();
}

LVScene *LVMainWindow::activePageScene() const
{
    LVMdiChild *child = activeMdiChild();
    LVScene *scene = child ? child->lvScene() : nullptr;
    return scene && scene->currentPage() ? scene : nullptr;
}

void LVMainWindow::createActions()
{
    openAct = new QAction(QIcon(QStringLiteral(":/images/open.png")), tr("&Open..."), this);
    openAct->setShortcuts(QKeySequence::Open);
    connect(openAct, &QAction::triggered, this, &LVMainWindow::open);

    saveAct = new QAction(QIcon(QStringLiteral(":/images/save.png")), tr("&Save"), this);
    saveAct->setShortcuts(QKeySequence::Save);
    connect(saveAct, &QAction::triggered, this, &LVMainWindow::save);

    saveAsAct = new QAction(tr("Save &As..."), this);
    saveAsAct->setShortcuts(QKeySequence::SaveAs);
    connect(saveAsAct, &QAction::triggered, this, &LVMainWindow::saveAs);

    exitAct = new QAction(tr("E&xit"), this);
    exitAct->setShortcuts(QKeySequence::Quit);
    connect(exitAct, &QAction::triggered, qApp, &QApplication::closeAllWindows);

    fullScreenAct = new QAction(tr("&Full Screen"), this);
    // Desktops without a binding of their own (a plain X11 session has none) still get F11,
    // the key that also leaves full screen.
    QList<QKeySequence> fullScreenKeys = QKeySequence::keyBindings(QKeySequence::FullScreen);
    if (!fullScreenKeys.contains(QKeySequence(Qt::Key_F11)))
        fullScreenKeys << QKeySequence(Qt::Key_F11);
    fullScreenAct->setShortcuts(fullScreenKeys);
    connect(fullScreenAct, &QAction::triggered, this, &LVMainWindow::fullScreen);

    zoomBox = new LVComboBox;
    zoomSteps = { 0.1, 0.15, 0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 4.0 };
    QStringList stepTexts;
    for (double step : qAsConst(zoomSteps))
        stepTexts << LVComboBox::percentText(step * 100);
    zoomBox->addItems(stepTexts);
    // No step is highlighted until a document reports its scale.
    zoomBox->setCurrentIndex(-1);
    connect(zoomBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { sceneScaleChanged(zoomBox->itemText(index)); });
    connect(zoomBox, &LVComboBox::editTextChangedLV, this, &LVMainWindow::sceneScaleChanged);

    zoomInAct = new QAction(QIcon(QStringLiteral(":/images/zoomin.png")), tr("ZoomIn..."), this);
    zoomInAct->setShortcuts(QKeySequence::ZoomIn);
    connect(zoomInAct, &QAction::triggered, this, &LVMainWindow::viewZoomIn);

    zoomOutAct = new QAction(QIcon(QStringLiteral(":/images/zoomout.png")), tr("ZoomOut..."), this);
    zoomOutAct->setShortcuts(QKeySequence::ZoomOut);
    connect(zoomOutAct, &QAction::triggered, this, &LVMainWindow::viewZoomOut);

    cutAct = new QAction(QIcon(QStringLiteral(":/images/cut.png")), tr("Cu&t"), this);
    cutAct->setShortcuts(QKeySequence::Cut);
    connect(cutAct, &QAction::triggered, this, &LVMainWindow::cut);

    copyAct = new QAction(QIcon(QStringLiteral(":/images/copy.png")), tr("&Copy"), this);
    copyAct->setShortcuts(QKeySequence::Copy);
    connect(copyAct, &QAction::triggered, this, &LVMainWindow::copy);

    pasteAct = new QAction(QIcon(QStringLiteral(":/images/paste.png")), tr("&Paste"), this);
    pasteAct->setShortcuts(QKeySequence::Paste);
    connect(pasteAct, &QAction::triggered, this, &LVMainWindow::paste);

    undoAct = undoGroup->createUndoAction(this);
    undoAct->setIcon(QIcon(QStringLiteral(":/images/undo.png")));
    undoAct->setShortcuts(QKeySequence::Undo);
    connect(undoAct, &QAction::triggered, this, &LVMainWindow::undo);

    redoAct = undoGroup->createRedoAction(this);
    redoAct->setIcon(QIcon(QStringLiteral(":/images/redo.png")));
    redoAct->setShortcuts(QKeySequence::Redo);

    selectAllAct = new QAction(tr("&Select All"), this);
    selectAllAct->setShortcuts(QKeySequence::SelectAll);
    connect(selectAllAct, &QAction::triggered, this, &LVMainWindow::selectAll);

    deleteAct = new QAction(tr("Delete"), this);
    deleteAct->setShortcuts(QKeySequence::Delete);
    connect(deleteAct, &QAction::triggered, this, &LVMainWindow::deleteObjects);

    raiseAct = new QAction(tr("&Raise"), this);
    connect(raiseAct, &QAction::triggered, this, &LVMainWindow::raiseObjects);
    lowerAct = new QAction(tr("&Lower"), this);
    connect(lowerAct, &QAction::triggered, this, &LVMainWindow::lowerObjects);
    lowerToBottomAct = new QAction(tr("Lower to &Bottom"), this);
    connect(lowerToBottomAct, &QAction::triggered, this, &LVMainWindow::lowerToBottom);
    raiseToTopAct = new QAction(tr("Raise to &Top"), this);
    connect(raiseToTopAct, &QAction::triggered, this, &LVMainWindow::raiseToTop);

    closeAct = new QAction(tr("Cl&ose"), this);
    connect(closeAct, &QAction::triggered, mdiArea, &QMdiArea::closeActiveSubWindow);
    closeAllAct = new QAction(tr("Close &All"), this);
    connect(closeAllAct, &QAction::triggered, mdiArea, &QMdiArea::closeAllSubWindows);
    tileAct = new QAction(tr("&Tile"), this);
    connect(tileAct, &QAction::triggered, mdiArea, &QMdiArea::tileSubWindows);
    cascadeAct = new QAction(tr("&Cascade"), this);
    connect(cascadeAct, &QAction::triggered, mdiArea, &QMdiArea::cascadeSubWindows);

    nextAct = new QAction(tr("Ne&xt"), this);
    nextAct->setShortcuts(QKeySequence::NextChild);
    connect(nextAct, &QAction::triggered, mdiArea, &QMdiArea::activateNextSubWindow);
    previousAct = new QAction(tr("Pre&vious"), this);
    previousAct->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab));
    connect(previousAct, &QAction::triggered, mdiArea, &QMdiArea::activatePreviousSubWindow);

    separatorAct = new QAction(this);
    separatorAct->setSeparator(true);

    projectTypeAct = new QAction(tr("&Project type"), this);
    connect(projectTypeAct, &QAction::triggered, this, &LVMainWindow::turnProjectType);

    aboutAct = new QAction(tr("&About"), this);
    connect(aboutAct, &QAction::triggered, this, &LVMainWindow::about);
}

void LVMainWindow::createMenus()
{
    fileMenu = menuBar()->addMenu(tr("&File"));
    fileMenu->addAction(openAct);
    fileMenu->addAction(saveAct);
    fileMenu->addAction(saveAsAct);
    fileMenu->addSeparator();
    if (printAct && printPreviewAct) {
        fileMenu->addAction(printAct);
        fileMenu->addAction(printPreviewAct);
        fileMenu->addSeparator();
    }
    layoutDirectionAct = fileMenu->addAction(tr("Switch layout direction"));
    connect(layoutDirectionAct, &QAction::triggered, this, &LVMainWindow::switchLayoutDirection);
    fileMenu->addAction(exitAct);

    editMenu = menuBar()->addMenu(tr("&Edit"));
    editMenu->addAction(undoAct);
    editMenu->addAction(redoAct);
    editMenu->addSeparator();
    editMenu->addAction(cutAct);
    editMenu->addAction(copyAct);
    editMenu->addAction(pasteAct);
    editMenu->addSeparator();
    editMenu->addAction(deleteAct);
    editMenu->addAction(selectAllAct);

    viewMenu = menuBar()->addMenu(tr("&View"));
    createLanguageMenu();
    viewMenu->addAction(fullScreenAct);
    viewMenu->addSeparator();

    windowMenu = menuBar()->addMenu(tr("&Window"));
    updateWindowMenu();
    connect(windowMenu, &QMenu::aboutToShow, this, &LVMainWindow::updateWindowMenu);

    menuBar()->addSeparator();

    helpMenu = menuBar()->addMenu(tr("&Help"));
    helpMenu->addAction(aboutAct);
}

void LVMainWindow::createToolBars()
{
    mainToolBar = addToolBar(tr("Main Tools"));
    mainToolBar->setObjectName(QStringLiteral("MainTools"));
    mainToolBar->addAction(openAct);
    mainToolBar->addAction(saveAct);
    mainToolBar->addSeparator();
    mainToolBar->addAction(undoAct);
    mainToolBar->addAction(redoAct);
    mainToolBar->addSeparator();
    mainToolBar->addAction(cutAct);
    mainToolBar->addAction(copyAct);
    mainToolBar->addAction(pasteAct);
    mainToolBar->addSeparator();
    mainToolBar->addWidget(zoomBox);
    mainToolBar->addAction(zoomInAct);
    mainToolBar->addAction(zoomOutAct);
}

void LVMainWindow::createProgramModeGroup() {}

void LVMainWindow::createDockWindows() {}

void LVMainWindow::createViewMenuEntries()
{
    viewMenu->addAction(mainToolBar->toggleViewAction());
}

void LVMainWindow::updateWindowTitle()
{
    setWindowTitle(mdi ? tr("MDI") : tr("SDI"));
}

QString LVMainWindow::systemLanguage()
{
    return QLocale().language() == QLocale::Russian ? QStringLiteral("ru") : QStringLiteral("en");
}

void LVMainWindow::readSettings()
{
    QSettings settings;
    geometry = settings.value(QStringLiteral("mainWindowGeometry")).toByteArray();
    if (!restoreGeometry(geometry)) {
        // First run: Qt's default would be a small window in a corner.
        if (const QScreen *screen = QGuiApplication::primaryScreen()) {
            const QRect available = screen->availableGeometry();
            QRect rect(QPoint(), available.size() * 0.8);
            rect.moveCenter(available.center());
            setGeometry(rect);
        }
    }
    dirOpen = settings.value(QStringLiteral("dirOpen"), UserFolders::documents()).toString();
    language = settings.value(QStringLiteral("language")).toString();
    // Start-up chose the catalogues by the same rule; the menu must agree with it.
    if (language.isEmpty())
        language = systemLanguage();
}

void LVMainWindow::writeSettings()
{
    QSettings settings;
    settings.setValue(QStringLiteral("mainWindowGeometry"), geometry);
    settings.setValue(QStringLiteral("language"), language);
    settings.setValue(QStringLiteral("dirOpen"), dirOpen);
    settings.setValue(QStringLiteral("mode"), mode);
}

LVMdiChild *LVMainWindow::createMdiChild()
{
    auto *child = new LVMdiChild(this);
    addMdiChild(child);
    return child;
}

QMdiSubWindow *LVMainWindow::addMdiChild(LVMdiChild *child)
{
    child->subWindow = mdiArea->addSubWindow(child);
    connect(child, &LVMdiChild::copyAvailable, cutAct, &QAction::setEnabled);
    connect(child, &LVMdiChild::copyAvailable, copyAct, &QAction::setEnabled);
    return child->subWindow;
}

void LVMainWindow::updateMenus()
{
    LVMdiChild *child = activeMdiChild();
    const bool has = child != nullptr;
    QUndoStack *stack = has ? child->undoStack() : nullptr;
    undoGroup->setActiveStack(stack);
    saveAct->setEnabled(stack && stack->count() > 0);

    for (QAction *action :
         { saveAsAct, closeAct, closeAllAct, tileAct, cascadeAct, nextAct, previousAct, pasteAct })
        action->setEnabled(has);
    separatorAct->setVisible(has);

    LVScene *scene = has ? child->lvScene() : nullptr;
    const bool hasPage = scene && scene->currentPage();
    // Printing needs a page to print, not changes to save.
    for (QAction *action : { printAct, printPreviewAct }) {
        if (action)
            action->setEnabled(hasPage);
    }
    const bool pageSelection = hasPage && scene->hasSelectedPageObjects();
    cutAct->setEnabled(pageSelection);
    copyAct->setEnabled(pageSelection);
    deleteAct->setEnabled(hasPage && !scene->selectedItems().isEmpty());

    zoomBox->setEnabled(has);
    zoomInAct->setEnabled(has);
    zoomOutAct->setEnabled(has);
}

void LVMainWindow::updateWindowMenu()
{
    windowMenu->clear();
    windowMenu->addAction(closeAct);
    windowMenu->addAction(closeAllAct);
    windowMenu->addSeparator();
    windowMenu->addAction(tileAct);
    windowMenu->addAction(cascadeAct);
    windowMenu->addSeparator();
    windowMenu->addAction(nextAct);
    windowMenu->addAction(previousAct);
    windowMenu->addAction(separatorAct);

    const QList<QMdiSubWindow *> windows = mdiArea->subWindowList();
    separatorAct->setVisible(!windows.isEmpty());

    LVMdiChild *active = activeMdiChild();
    for (int i = 0; i < windows.size(); ++i) {
        auto *child = qobject_cast<LVMdiChild *>(windows.at(i)->widget());
        if (!child)
            continue;
        const QString text = (i < 9 ? tr("&%1 %2") : tr("%1 %2"))
                                     .arg(i + 1)
                                     .arg(child->userFriendlyCurrentFile());
        QAction *action = windowMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(child == active);
        connect(action, &QAction::triggered, windowMapper, QOverload<>::of(&QSignalMapper::map));
        windowMapper->setMapping(action, windows.at(i));
    }
}

void LVMainWindow::setActiveSubWindow(QWidget *window)
{
    if (auto *subWindow = qobject_cast<QMdiSubWindow *>(window))
        mdiArea->setActiveSubWindow(subWindow);
}

QMdiSubWindow *LVMainWindow::findMdiChild(const QString &fileName) const
{
    const QString canonicalFilePath = QFileInfo(fileName).canonicalFilePath();
    // A file that does not exist must not match the untitled documents.
    if (canonicalFilePath.isEmpty())
        return nullptr;
    const QList<QMdiSubWindow *> windows = mdiArea->subWindowList();
    for (QMdiSubWindow *window : windows) {
        auto *child = qobject_cast<LVMdiChild *>(window->widget());
        if (child && QFileInfo(child->currentFilePath()).canonicalFilePath() == canonicalFilePath)
            return window;
    }
    return nullptr;
}

void LVMainWindow::newFile()
{
    if (mdi) {
        LVMdiChild *child = createMdiChild();
        child->newFile();
        child->showMaximized();
        return;
    }
    showInNewWindow(new LVMainWindow(false));
}

void LVMainWindow::showInNewWindow(LVMainWindow *other)
{
    other->setAttribute(Qt::WA_DeleteOnClose);
    other->move(x() + 40, y() + 40);
    other->show();
}

void LVMainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A window of its own holds exactly one document; restoring it must not add another.
    if (!mdi && mdiArea->subWindowList().isEmpty()) {
        LVMdiChild *child = createMdiChild();
        child->newFile();
        child->showMaximized();
    }
}

void LVMainWindow::turnProjectType()
{
    mdi = !mdi;
    updateWindowTitle();
}

void LVMainWindow::open() {}

void LVMainWindow::about() {}

void LVMainWindow::save()
{
    LVMdiChild *child = activeMdiChild();
    if (child && child->save())
        statusBar()->showMessage(tr("File saved"), 2000);
}

void LVMainWindow::saveAs()
{
    LVMdiChild *child = activeMdiChild();
    if (child && child->saveAs())
        statusBar()->showMessage(tr("File saved"), 2000);
}

void LVMainWindow::print()
{
    if (LVMdiChild *child = activeMdiChild())
        child->print();
}

void LVMainWindow::printPreview()
{
    if (LVMdiChild *child = activeMdiChild())
        child->printPreview();
}

void LVMainWindow::pageSetup()
{
    LVMdiChild *child = activeMdiChild();
    if (!child || !child->lvScene())
        return;
    LVPageSetupDialog dialog(child->lvScene(), nullptr);
    dialog.exec();
}

void LVMainWindow::cut()
{
    LVTool *tool = toolWatcher->currentTool();
    if (tool && tool->id() == 10 && tool->cutRegion())
        return;
    if (LVScene *scene = activePageScene())
        scene->cut();
}

void LVMainWindow::copy()
{
    LVTool *tool = toolWatcher->currentTool();
    if (tool && tool->id() == 10 && tool->copyRegion())
        return;
    if (LVScene *scene = activePageScene())
        scene->copy();
}

void LVMainWindow::paste()
{
    if (LVScene *scene = activePageScene()) {
        scene->paste();
        setProgramMode(0);
    }
}

void LVMainWindow::deleteObjects()
{
    if (LVScene *scene = activePageScene())
        scene->deleteObjects();
}

void LVMainWindow::selectAll()
{
    if (LVScene *scene = activePageScene())
        scene->selectAll();
}

void LVMainWindow::undo()
{
    if (LVTool *tool = toolWatcher->currentTool())
        tool->reset();
}

void LVMainWindow::raiseObjects()
{
    if (LVScene *scene = activePageScene())
        scene->raise();
}

void LVMainWindow::lowerObjects()
{
    if (LVScene *scene = activePageScene())
        scene->lower();
}

void LVMainWindow::raiseToTop()
{
    if (LVScene *scene = activePageScene())
        scene->raiseToTop();
}

void LVMainWindow::lowerToBottom()
{
    if (LVScene *scene = activePageScene())
        scene->lowerToBottom();
}

void LVMainWindow::addPage()
{
    if (activePageScene())
        activeMdiChild()->addPage();
}

void LVMainWindow::deletePage()
{
    if (activePageScene())
        activeMdiChild()->deletePage();
}

void LVMainWindow::movePageForward()
{
    if (activePageScene())
        activeMdiChild()->movePageForward();
}

void LVMainWindow::movePageBackward()
{
    if (activePageScene())
        activeMdiChild()->movePageBackward();
}

void LVMainWindow::clipboardChanged() {}

void LVMainWindow::fullScreen()
{
    setWindowState(windowState() ^ Qt::WindowFullScreen);
}

void LVMainWindow::describeActiveDocument()
{
    showCurrentScale();
}

void LVMainWindow::showCurrentScale()
{
    if (LVMdiChild *child = currentMdiChild())
        setZoomText(scalePercent(child));
    else
        zoomBox->showText(QString());
}

int LVMainWindow::scalePercent(const QGraphicsView *view)
{
    // The allowance keeps a typed 29 %, stored as 0.28999..., from showing as 28 %.
    return int(view->transform().m11() * 100 + 1e-9);
}

void LVMainWindow::reportScale(LVMdiChild *child)
{
    if (child && child == currentMdiChild())
        setZoomText(scalePercent(child));
}

void LVMainWindow::sceneScaleChanged(const QString &scale)
{
    double percent = LVComboBox::percentFromText(scale);
    // Zero, unreadable and negative texts are ignored (a negative scale would mirror the
    // view), and the box shows the view's own scale again.
    if (!(percent > 0)) {
        showCurrentScale();
        return;
    }
    percent = qMin(percent, double(LVComboBox::maxPercent));
    if (QGraphicsView *view = activeView())
        setViewScale(view, percent / 100);
}

void LVMainWindow::setViewScale(QGraphicsView *view, double factor)
{
    const QTransform m = view->transform();
    view->resetTransform();
    view->translate(m.dx(), m.dy());
    view->scale(factor, factor);
}

double LVMainWindow::zoomInTarget(double s, bool *relative) const
{
    *relative = true;
    if (s > zoomSteps.last())
        return 1.25;
    for (int i = 0; i < zoomSteps.size(); ++i) {
        const double step = zoomSteps.at(i);
        if (step > s) {
            *relative = !(step <= s * 1.25 || i != 0);
            return *relative ? 1.25 : step;
        }
        if (step == s) {
            if (i + 1 == zoomSteps.size())
                return 1.25;
            *relative = false;
            return zoomSteps.at(i + 1);
        }
    }
    return 1.25;
}

double LVMainWindow::zoomOutTarget(double s, bool *relative) const
{
    *relative = true;
    if (s < zoomSteps.first())
        return 0.8;
    for (int i = zoomSteps.size() - 1; i >= 0; --i) {
        const double step = zoomSteps.at(i);
        if (step < s) {
            *relative = !(s * 0.8 <= step || i != zoomSteps.size() - 1);
            return *relative ? 0.8 : step;
        }
        if (step == s) {
            if (i == 0)
                return 0.8;
            *relative = false;
            return zoomSteps.at(i - 1);
        }
    }
    return 0.8;
}

void LVMainWindow::viewZoomIn()
{
    QGraphicsView *view = activeView();
    if (!view)
        return;
    bool relative = false;
    const double factor = zoomInTarget(view->transform().m11(), &relative);
    if (relative)
        view->scale(factor, factor);
    else
        setViewScale(view, factor);
    setZoomText(scalePercent(view));
}

void LVMainWindow::viewZoomOut()
{
    QGraphicsView *view = activeView();
    if (!view)
        return;
    bool relative = false;
    const double factor = zoomOutTarget(view->transform().m11(), &relative);
    if (relative)
        view->scale(factor, factor);
    else
        setViewScale(view, factor);
    setZoomText(scalePercent(view));
}

void LVMainWindow::setZoomText(int percent)
{
    zoomBox->showText(QStringLiteral("%1 %").arg(qMin(percent, int(LVComboBox::maxPercent))));
}

namespace {
QString &chosenTranslationsPath()
{
    static QString path;
    return path;
}
} // namespace

QString LVMainWindow::translationsPath()
{
    const QString &chosen = chosenTranslationsPath();
    return chosen.isEmpty()
            ? QCoreApplication::applicationDirPath() + QStringLiteral("/translations")
            : chosen;
}

void LVMainWindow::setTranslationsPath(const QString &path)
{
    chosenTranslationsPath() = path;
}

void LVMainWindow::createLanguageMenu()
{
    languageMenu = viewMenu->addMenu(tr("Language"));
    languageGroup = new QActionGroup(this);
    languageGroup->setExclusive(true);
    connect(languageGroup, &QActionGroup::triggered, this, &LVMainWindow::switchLanguage);

    const QStringList files
            = QDir(translationsPath())
                      .entryList({ QStringLiteral("lvbase_*.qm") }, QDir::Files, QDir::Name);
    bool checked = false;
    QString lastCode;
    for (int i = 0; i < files.size(); ++i) {
        const QString &file = files.at(i);
        const int start = file.indexOf(QLatin1Char('_')) + 1;
        const QString code = file.mid(start, file.lastIndexOf(QLatin1Char('.')) - start);
        QTranslator translator;
        translator.load(file, translationsPath());
        const QString name = translator.translate("LVMainWindow", workLanguageKey);

        QAction *action = new QAction(tr("&%1 %2").arg(i + 1).arg(name), this);
        action->setCheckable(true);
        action->setData(code);
        languageMenu->addAction(action);
        languageGroup->addAction(action);

        if (language == code) {
            action->setChecked(true);
            checked = true;
        } else if (language.isEmpty() && name == QLatin1String("English")) {
            action->setChecked(true);
            checked = true;
            language = code;
        }
        lastCode = code;
    }
    if (!files.isEmpty() && (language.isEmpty() || !checked))
        language = lastCode;
    languageMenu->setEnabled(files.size() > 1);
}

void LVMainWindow::switchLanguage(QAction *action)
{
    language = action->data().toString();
    const QString appName = QCoreApplication::applicationName();
    QMessageBox::warning(
            this, appName,
            tr("The language change will take effect after a restart of %1.").arg(appName),
            QMessageBox::Ok);
}

void LVMainWindow::openHelpPage(const QString &page)
{
    // fromLocalFile: a plain "file:///" prefix would double the leading slash of a Linux path.
    QDesktopServices::openUrl(QUrl::fromLocalFile(QCoreApplication::applicationDirPath()
                                                  + QStringLiteral("/help_") + language + page));
}

void LVMainWindow::contents()
{
    openHelpPage(QStringLiteral("/index.html"));
}

void LVMainWindow::gettingStarted()
{
    openHelpPage(QStringLiteral("/start.html"));
}

void LVMainWindow::techSupport()
{
    openHelpPage(QStringLiteral("/support.html"));
}

void LVMainWindow::orderingInformation()
{
    openHelpPage(QStringLiteral("/ordering.html"));
}

void LVMainWindow::switchLayoutDirection()
{
    if (layoutDirection() == Qt::LeftToRight)
        QApplication::setLayoutDirection(Qt::RightToLeft);
    else
        QApplication::setLayoutDirection(Qt::LeftToRight);
}

void LVMainWindow::documentContextMenu(QContextMenuEvent *event)
{
    if (mode == 8)
        return;
    QMenu menu(this);
    menu.addAction(cutAct);
    menu.addAction(copyAct);
    menu.addAction(pasteAct);
    menu.addSeparator();
    menu.addAction(deleteAct);
    menu.addAction(selectAllAct);
    menu.addSeparator();
    menu.addAction(raiseAct);
    menu.addAction(lowerAct);
    menu.addAction(raiseToTopAct);
    menu.addAction(lowerToBottomAct);
    menu.exec(event->globalPos());
}

void LVMainWindow::closeEvent(QCloseEvent *event)
{
    qDebug() << "LVMainWindow::closeEvent";
    mdiArea->closeAllSubWindows();
    if (mdiArea->currentSubWindow()) {
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}
