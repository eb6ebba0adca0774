#include "toolpanel.h"

#include "framework/lvmainwindow.h"
#include "framework/lvtool.h"
#include "framework/lvtoolwatcher.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

ToolPanel::ToolPanel(const QString &title, LVMainWindow *mainWindow)
    : QDockWidget(title, mainWindow), mainWindow(mainWindow)
{
    auto *content = new QWidget;
    auto *layout = new QVBoxLayout(content);
    buttonWidget = new QWidget;
    buttonLayout = new QGridLayout(buttonWidget);
    layout->addWidget(buttonWidget);
    stackedLayout = new QStackedLayout;
    layout->addLayout(stackedLayout);
    layout->addItem(new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
    setWidget(content);
    connect(stackedLayout, &QStackedLayout::currentChanged, this, &ToolPanel::toolPageChanged);
}

void ToolPanel::addTool(LVTool *tool)
{
    auto *button = new QPushButton(tool->icon, QString());
    button->setFixedSize(32, 32);
    button->setIconSize(button->size());
    button->setToolTip(tool->title());
    button->setObjectName(tool->title());
    button->setCheckable(true);
    buttonLayout->addWidget(button, row, column++);
    if (buttonGroup)
        buttonGroup->addButton(button, tool->id());
    tool->pageIndex = stackedLayout->addWidget(tool->widget());
}

void ToolPanel::showTool(int mode)
{
    LVToolWatcher *watcher = mainWindow ? mainWindow->toolWatcher : nullptr;
    if (!watcher)
        return;
    if (LVTool *current = watcher->currentTool())
        current->stop();
    if (LVTool *tool = watcher->tool(mode))
        stackedLayout->setCurrentIndex(tool->pageIndex);
    watcher->clearSwitch();
}

void ToolPanel::toolPageChanged(int index)
{
    if (!mainWindow)
        return;
    mainWindow->toolWatcher->toolPageChanged(index);
    mainWindow->setSelectedRect();
}
