#pragma once

#include <QListView>
#include <QMap>
#include <QModelIndex>

class StatusBar;
class ThumbnailListModel;
class QAction;
class QActionGroup;
class QDrag;
class QMenu;

// The grid of thumbnails in the thumbnail dock, with the file operations on it.
class ThumbnailListView : public QListView
{
    Q_OBJECT
public:
    explicit ThumbnailListView(QWidget *parent = nullptr);

    // The items now visible: source row to source index, for planning thumbnail batches.
    QMap<int, QModelIndex> visibleItems() const;
    // Makes the file with this full path current and scrolls to it; nothing without a match.
    void setCurrentFile(const QString &path);
    // Makes the file current again once the move that is under way has finished: at once
    // after a mouse press, a key press or selectNextItem/selectPreviousItem, else at the
    // next turn of the event loop. For a move the user refused.
    void restoreCurrentFile(const QString &path);
    // True while a rename editor is open (also while it asks about a clash).
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    void selectNextItem();
    void selectPreviousItem();
    void setStatusBar(StatusBar *bar) { statusBar = bar; }
    // Chooses the sort mode and order as if the user picked them.
    void setSorting(int mode, int order);
    // The file operations, when the list has the keyboard focus; false otherwise.
    bool copyIfFocused();
    bool pasteIfFocused();
    bool removeIfFocused();
    // The "Sort" menu's entries, shared with the main window's View menu.
    QList<QAction *> sortMenuActions() const;
    QActionGroup *sortGroup() const { return sortActions; }
    QActionGroup *orderGroup() const { return orderActions; }
    // Enables the file actions for the item at a viewport position, as the context menu does.
    void prepareFileActions(const QPoint &viewportPos);
    QAction *openAction() const { return openAct; }
    QAction *deleteAction() const { return deleteAct; }
    QAction *copyImageAction() const { return copyImageAct; }
    QAction *copyAction() const { return copyAct; }
    QAction *pasteAction() const { return pasteAct; }
    // The URLs a drag of these files carries.
    static QList<QUrl> fileUrls(const QStringList &paths);

    void reset() override;

signals:
    void openInNewWindow(const QString &fileName);

public slots:
    void open();
    void remove();
    void copyImage();
    void copy();
    void paste();

protected slots:
    void selectionChanged(const QItemSelection &selected,
                          const QItemSelection &deselected) override;
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QVector<int> &roles = QVector<int>()) override;

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    // Runs the drag; the system's drag loop takes over until the drop.
    virtual void execDrag(QDrag *drag);

private:
    // Asks the model behind the proxy for the thumbnails of what is now visible.
    void requestThumbnails();
    void showSelectionSum();
    QModelIndex toSource(const QModelIndex &index) const;
    QStringList selectedPaths() const;
    void removeFiles(const QStringList &paths);
    void startFileDrag();
    ThumbnailListModel *listModel() const;
    // Makes the file asked for by restoreCurrentFile current; false when none was pending.
    bool applyRestore();

    StatusBar *statusBar = nullptr;
    QActionGroup *sortActions = nullptr;
    QActionGroup *orderActions = nullptr;
    QAction *openAct = nullptr;
    QAction *deleteAct = nullptr;
    QAction *copyImageAct = nullptr;
    QAction *copyAct = nullptr;
    QAction *pasteAct = nullptr;
    QMenu *sortMenu = nullptr;
    QList<QAction *> sortEntries;
    QString contextFile;
    QPoint dragStart;
    bool dragArmed = false;
    // The files selected at the press, by path: a re-listing may replace every index
    // before the drag starts.
    QStringList pressedFiles;
    int lastToolTipRow = -1;
    QString restoreFile;
};
