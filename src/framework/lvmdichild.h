#pragma once

#include <QGraphicsView>

class LVMainWindow;
class LVScene;
class QMdiSubWindow;
class QPainter;
class QPrinter;
class QUndoStack;

// A document window of the framework: file-name bookkeeping, the question to save
// changes on close, and the entry points the main window's actions call.
class LVMdiChild : public QGraphicsView
{
    Q_OBJECT
public:
    explicit LVMdiChild(LVMainWindow *mainWindow);

    virtual void newFile();
    // Reads a framework document file.
    virtual bool loadFile(const QString &fileName);
    virtual bool save();
    virtual bool saveAs();
    virtual bool saveFile(const QString &fileName);
    // Prints through the print dialog; a rejected dialog prints nothing.
    virtual void print();
    virtual void printPreview();
    // A4, no margins, every page; documents may adapt it (an image turns the paper).
    virtual void setUpPrinter(QPrinter &printer);
    virtual void addPage();
    virtual void deletePage();
    virtual void movePageForward();
    virtual void movePageBackward();
    // Puts the image on the active page as a new object, as one undo step.
    virtual void insertImage(const QImage &image);

    void setCurrentFile(const QString &fileName);
    QString userFriendlyCurrentFile() const;
    QString currentFilePath() const { return filePath; }
    LVScene *lvScene() const { return documentScene; }
    QUndoStack *undoStack() const;
    // True when the document may close: no changes, or the user saved or discarded them.
    bool maybeSave();

    bool isUntitled = true;
    LVMainWindow *mainWindow = nullptr;
    QString curFile;
    QString filePath;
    QMdiSubWindow *subWindow = nullptr;

signals:
    void copyAvailable(bool available);

public slots:
    // Renders the printer's page range, with a progress dialog that can cancel it.
    void printDocument(QPrinter *printer);
    // page counts from 0, as the scene's pages do.
    void printPage(QPrinter *printer, QPainter *painter, int page);

protected:
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

    // Created by the derived class with this view as its parent.
    LVScene *documentScene = nullptr;
};
