#pragma once

#include "framework/lvmdichild.h"

#include <memory>

class LVTool;
class Scene;

// The document window of one image: its scene with one page and one image object,
// fitted to the window, saved as an image file.
class MdiChild : public LVMdiChild
{
    Q_OBJECT
public:
    explicit MdiChild(LVMainWindow *mainWindow);
    ~MdiChild() override;

    void newFile() override;
    // A file Qt cannot write back is never touched: Save offers another name instead.
    bool save() override;
    bool saveAs() override;
    // Writes aside and replaces the file only when the whole image is on disk.
    bool saveFile(const QString &fileName) override;
    // The paper turns with the image: landscape for a wide one.
    void setUpPrinter(QPrinter &printer) override;
    void addPage() override;
    void insertImage(const QImage &image) override;

    // Sizes the page to an image just inserted and fits the view.
    void setImage(const QImage &image);
    void fitToWindow();
    // The active page rendered at scale 1 as the file will hold it: no tool overlays.
    QImage renderPage();
    // Records the current tool's settings for this document.
    void saveToolState();
    Scene *imageScene() const;
    // "*.bmp *.gif ...": every format Qt reads.
    static QString imagePatterns();
    // The Save As filter built from them.
    static QString imageFilter();
    // The writer format for the file name's suffix; empty when Qt cannot write it.
    static QByteArray writerFormat(const QString &fileName);
    static bool isJpegFormat(const QByteArray &format);
    // Photos are usually stored at 90 or more; Qt's default of 75 would visibly lose detail.
    static constexpr int jpegQuality = 92;

    bool closingFromFullScreen = false;
    int savedToolId = -1;
    std::unique_ptr<LVTool> savedToolState;
    // The file whose photo metadata a JPEG save carries over: the file loaded, then each JPEG
    // written (which holds them by then).
    QString photoFile;

signals:
    // Asked for in full screen; the main window's slide show answers.
    void slideShowRequested();
    void nextImageRequested();
    void previousImageRequested();
    // The full-screen document was left by Escape or Exit; the file shows again normally.
    void fullScreenLeft(const QString &filePath);
    // Shown full screen and closed otherwise: the main window closes too.
    void closedInFullScreen();
    // A file was written; its thumbnail is out of date.
    void fileSaved(const QString &filePath);

public slots:
    void closeFullScreen();
    void documentWasModified();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    bool saveAsFrom(const QString &proposedPath);
    bool fullScreenMode() const;
    void reportScale();
    // The status bar and the zoom box follow this document while it is the one shown.
    void describeIfShown();
};
