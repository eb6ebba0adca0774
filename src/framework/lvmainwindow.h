#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>

class LVComboBox;
class LVMdiChild;
class LVToolWatcher;
class QAction;
class QActionGroup;
class QButtonGroup;
class QContextMenuEvent;
class QGraphicsView;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSignalMapper;
class QToolBar;
class QUndoGroup;

// The framework's main window: a multiple-document area with one undo group that
// follows the active document, the standard actions, menus, tool bar and zoom box.
class LVMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit LVMainWindow(bool mdi);
    ~LVMainWindow() override;

    virtual void setProgramMode(int mode);
    virtual LVMdiChild *activeMdiChild() const;
    // Lets the active document record the current tool's settings.
    virtual void saveDocumentToolState();
    // Where the status bar learns the mouse position and the tool's rectangle.
    virtual void showPosition(const QPoint &scenePos);
    virtual void setSelectedRect();

    int programMode() const { return mode; }
    QMdiSubWindow *findMdiChild(const QString &fileName) const;
    void setZoomText(int percent);
    // The document the window shows, even while another program is active; null without one.
    LVMdiChild *currentMdiChild() const;
    // A view's scale as the zoom box shows it: m11 in percent, truncated.
    static int scalePercent(const QGraphicsView *view);
    // A document's scale changed; the zoom box follows when it is the document shown.
    void reportScale(LVMdiChild *child);
    void documentContextMenu(QContextMenuEvent *event);

    // The zoom factor a step in or out leads to from the view's scale s; relative
    // is set when the view must be scaled by the returned factor instead.
    double zoomInTarget(double s, bool *relative) const;
    double zoomOutTarget(double s, bool *relative) const;
    // Folder whose lvbase_*.qm catalogues the language menu offers.
    static QString translationsPath();
    // The program decides where its catalogues live; by default beside the executable.
    static void setTranslationsPath(const QString &path);
    // "ru" on a Russian system, else "en": the language used when none was chosen.
    static QString systemLanguage();

    QString dirOpen;
    QString language;
    // The document that last lost the keyboard focus.
    QPointer<LVMdiChild> lastDocument;
    LVToolWatcher *toolWatcher = nullptr;

public slots:
    virtual void updateMenus();
    // The zoom box (and what derived windows add) describes the document shown, and is
    // empty without one.
    virtual void describeActiveDocument();
    void updateWindowMenu();
    virtual void newFile();
    virtual void open();
    virtual void copy();
    virtual void paste();
    virtual void deleteObjects();
    virtual void about();
    void contents();
    void gettingStarted();
    void techSupport();
    void orderingInformation();
    virtual void fullScreen();

    void sceneScaleChanged(const QString &scale);
    void viewZoomIn();
    void viewZoomOut();
    void turnProjectType();
    void save();
    void saveAs();
    void print();
    void printPreview();
    void pageSetup();
    virtual void cut();
    void selectAll();
    void undo();
    void raiseObjects();
    void lowerObjects();
    void raiseToTop();
    void lowerToBottom();
    void switchLayoutDirection();
    void setActiveSubWindow(QWidget *window);
    void switchLanguage(QAction *action);
    void addPage();
    void deletePage();
    void movePageForward();
    void movePageBackward();
    void clipboardChanged();

protected:
    virtual void createActions();
    virtual void createMenus();
    virtual void createToolBars();
    virtual void createProgramModeGroup();
    virtual void createDockWindows();
    virtual void createViewMenuEntries();
    virtual void updateWindowTitle();
    virtual void readSettings();
    virtual void writeSettings();
    virtual LVMdiChild *createMdiChild();
    // Adds a document to the area and wires it to the window.
    QMdiSubWindow *addMdiChild(LVMdiChild *child);
    void createLanguageMenu();
    // Shows a window of its own for one document, beside this one.
    void showInNewWindow(LVMainWindow *other);

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    QGraphicsView *activeView() const;
    // The active document's scene when it has a current page, else null.
    class LVScene *activePageScene() const;
    void setViewScale(QGraphicsView *view, double factor);
    // The zoom box shows the current document's scale, or nothing without one.
    void showCurrentScale();
    void openHelpPage(const QString &page);

    QMdiArea *mdiArea = nullptr;
    QSignalMapper *windowMapper = nullptr;
    bool mdi = true;
    QByteArray geometry;
    QMenu *fileMenu = nullptr;
    QMenu *editMenu = nullptr;
    QMenu *viewMenu = nullptr;
    QMenu *windowMenu = nullptr;
    QMenu *helpMenu = nullptr;
    QMenu *languageMenu = nullptr;
    QToolBar *mainToolBar = nullptr;

    QAction *openAct = nullptr;
    QAction *saveAct = nullptr;
    QAction *saveAsAct = nullptr;
    // Made by windows that offer printing; the File menu takes them after Save As.
    QAction *printAct = nullptr;
    QAction *printPreviewAct = nullptr;
    QAction *exitAct = nullptr;
    QAction *fullScreenAct = nullptr;
    QAction *zoomInAct = nullptr;
    QAction *zoomOutAct = nullptr;
    QAction *cutAct = nullptr;
    QAction *copyAct = nullptr;
    QAction *pasteAct = nullptr;
    QAction *undoAct = nullptr;
    QAction *redoAct = nullptr;
    QAction *selectAllAct = nullptr;
    QAction *deleteAct = nullptr;
    QAction *raiseAct = nullptr;
    QAction *lowerAct = nullptr;
    QAction *lowerToBottomAct = nullptr;
    QAction *raiseToTopAct = nullptr;
    QAction *closeAct = nullptr;
    QAction *closeAllAct = nullptr;
    QAction *tileAct = nullptr;
    QAction *cascadeAct = nullptr;
    QAction *nextAct = nullptr;
    QAction *previousAct = nullptr;
    QAction *separatorAct = nullptr;
    QAction *projectTypeAct = nullptr;
    QAction *aboutAct = nullptr;
    QAction *layoutDirectionAct = nullptr;
    QActionGroup *languageGroup = nullptr;

    LVComboBox *zoomBox = nullptr;
    QList<double> zoomSteps;
    QUndoGroup *undoGroup = nullptr;
    QButtonGroup *programModeGroup = nullptr;
    int mode = 0;
};
