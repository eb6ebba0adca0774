#pragma once

#include <QGraphicsScene>
#include <memory>

class LVMainWindow;
class PageItem;
class QUndoStack;

// The scene of one document: its pages, its objects and its undo stack.
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

    virtual void copy();
    virtual void cut();
    virtual void paste();
    virtual void selectAll();
    virtual void raise();
    virtual void lower();
    virtual void raiseToTop();
    virtual void lowerToBottom();

    LVMainWindow *mainWindow = nullptr;
    PageItem *activePage = nullptr;

public slots:
    virtual void deleteObjects();

private:
    std::unique_ptr<QUndoStack> stack;
};
