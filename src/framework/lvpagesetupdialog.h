#pragma once

#include <QDialog>

class LVScene;
class QComboBox;
class QRadioButton;

// Paper size and orientation for each page of a document. The choices are kept in the pages'
// pending values while the dialog is open; OK applies them all as one undo step, Cancel
// leaves the document as it was.
class LVPageSetupDialog : public QDialog
{
    Q_OBJECT
public:
    LVPageSetupDialog(LVScene *scene, QWidget *parent = nullptr);

    // The paper names in QPrinter::PaperSize order, so that an index is a paper size.
    static QStringList paperSizeNames();

public slots:
    // Shows the pending values of the page chosen in the page combo.
    void update();
    void orientationChanged();
    void paperSizeChanged();
    void accept() override;

private:
    class PageItem *currentPage() const;

    LVScene *scene;
    QComboBox *pageCombo = nullptr;
    QRadioButton *portraitButton = nullptr;
    QRadioButton *landscapeButton = nullptr;
    QComboBox *paperCombo = nullptr;
};
