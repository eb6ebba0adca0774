#pragma once

#include <QGraphicsScene>
#include <QList>
#include <memory>

class LVMainWindow;
class LineItem;
class NudgeCommand;
class ObjectItem;
class PageItem;
class QDataStream;
class QPainter;
class QPrinter;
class QUndoStack;
class RectItem;

// The scene of one document: its pages stacked vertically, the objects on them, the
// document's undo stack, and the interaction common to all documents.
class LVScene : public QGraphicsScene
{
    Q_OBJECT
public:
    LVScene(QObject *parent, LVMainWindow *mainWindow);
    ~LVScene() override;

    QUndoStack *undoStack() const { return stack.get(); }
    // The page that new objects, paste and page commands address; null before the first page.
    PageItem *currentPage() const { return activePage; }
    void setActivePage(PageItem *page);
    // Some object of the active page is selected.
    bool hasSelectedPageObjects() const;
    // The selected items that are objects, not pages or handles.
    QList<ObjectItem *> selectedObjects() const;
    // The main window's program mode; 0 without a main window.
    int mode() const;

    void layoutPages();
    virtual void copy();
    virtual void cut();
    virtual void paste();
    virtual void selectAll();
    virtual void raise();
    virtual void lower();
    virtual void raiseToTop();
    virtual void lowerToBottom();
    void selectImagesIfNothingSelected();
    // Renders one page into the printer's paper; an index outside the pages renders nothing.
    virtual void printPage(QPrinter *printer, QPainter *painter, int pageIndex);
    // The page-setup dialog edits pending values that start as the pages' own.
    void copyPageSettingsToPending();
    // Every page takes its pending paper size and orientation, as one undo step.
    void applyPendingPageSettings();

    // The framework's document file.
    bool read(QDataStream &in);
    void write(QDataStream &out) const;

    bool formFlag = false;
    QPointF formPoint;
    bool printing = false;
    LVMainWindow *mainWindow = nullptr;
    QList<PageItem *> pages;
    PageItem *activePage = nullptr;
    bool objectsPressed = false;
    bool rubberBandActive = false;
    QRectF rubberBand;
    QString name;
    RectItem *creatingRect = nullptr;
    LineItem *creatingLine = nullptr;
    QPointF createStart;
    bool creating = false;
    ObjectItem *pressedObject = nullptr;

signals:
    void objectsMoved();

public slots:
    void addPageCommand(PageItem *pageItem);
    void insertPageCommand(int index, PageItem *pageItem);
    void removePageCommand(PageItem *pageItem, PageItem *previousActivePage);
    void movePageCommand(PageItem *pageItem, bool forward);
    virtual void deleteObjects();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    void createFormObject(int mode, const QPointF &scenePos);
    void recordMoves();
    void moveSelectionByKey(QKeyEvent *event);
    void recordNudge(const QList<ObjectItem *> &objects, const QList<QPointF> &from);
    void focusNextText();
    void changeStacking(int how);

    std::unique_ptr<QUndoStack> stack;
    // The nudge that the next press of an arrow key may extend; any change of the undo
    // stack's index ends it.
    NudgeCommand *lastNudge = nullptr;
};
