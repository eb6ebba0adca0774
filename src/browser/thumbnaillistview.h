#pragma once

#include <QListView>
#include <QMap>
#include <QModelIndex>

class StatusBar;
class QAction;
class QActionGroup;

// The grid of thumbnails in the thumbnail dock.
class ThumbnailListView : public QListView
{
    Q_OBJECT
public:
    explicit ThumbnailListView(QWidget *parent = nullptr);

    // The items now visible: source row to source index, for planning thumbnail batches.
    QMap<int, QModelIndex> visibleItems() const;
    // Makes the file with this full path current and scrolls to it; nothing without a match.
    void setCurrentFile(const QString &path);
    // The next selection change makes index current instead.
    void restoreCurrentIndex(const QModelIndex &index);
    void selectNextItem();
    void selectPreviousItem();
    void setStatusBar(StatusBar *bar) { statusBar = bar; }

signals:
    void openInNewWindow(const QString &fileName);

protected slots:
    void selectionChanged(const QItemSelection &selected,
                          const QItemSelection &deselected) override;

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // Asks the model behind the proxy for the thumbnails of what is now visible.
    void requestThumbnails();
    QModelIndex toSource(const QModelIndex &index) const;

    StatusBar *statusBar = nullptr;
    bool restorePending = false;
    QModelIndex restoreIndex;
};
