#pragma once

#include <QDockWidget>

class LVMainWindow;
class LVTool;
class QButtonGroup;
class QGridLayout;
class QStackedLayout;

// The tool dock: one square button per tool in a row, and below them the current tool's
// page of controls.
class ToolPanel : public QDockWidget
{
    Q_OBJECT
public:
    ToolPanel(const QString &title, LVMainWindow *mainWindow);

    // The main window's program-mode group; the buttons join it with their tool's id.
    void setButtonGroup(QButtonGroup *group) { buttonGroup = group; }
    void addTool(LVTool *tool);
    // Shows the page of the tool of a program mode just set.
    void showTool(int mode);
    QStackedLayout *pages() const { return stackedLayout; }

public slots:
    void toolPageChanged(int index);

private:
    QButtonGroup *buttonGroup = nullptr;
    QGridLayout *buttonLayout = nullptr;
    QStackedLayout *stackedLayout = nullptr;
    QWidget *buttonWidget = nullptr;
    LVMainWindow *mainWindow = nullptr;
    int row = 0;
    int column = 0;
};
