#pragma once

#include "framework/lvmainwindow.h"

// The image program's main window.
class MainWindow : public LVMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(bool mdi);

    // Shows the given file; called at start with the file named on the command line.
    void selectFile(const QString &path);

public slots:
    void newFile() override;

protected:
    void createActions() override;
    void updateWindowTitle() override;
};
