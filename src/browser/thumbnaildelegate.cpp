#include "thumbnaildelegate.h"

#include "thumbnaileditor.h"
#include "thumbnaillistmodel.h"
#include "thumbnailsortfilterproxymodel.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPersistentModelIndex>
#include <QPointer>

namespace {

// Where the editor starts below the cell's top, and the box its text is measured in.
constexpr int editorTop = 77;
constexpr int measureWidth = 85;
constexpr int measureHeight = 999;

bool exists(const QString &path)
{
    // A dangling link counts: renaming onto it would replace it.
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

// Whether a typed base name can become part of a file name in the same folder: no path
// parts, nothing that cuts a native name short, and no line breaks pasted into the box.
bool isAcceptableBaseName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c.unicode() < 0x20 || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

// The row of model whose item has this full path, or an invalid index.
QModelIndex findPath(const QAbstractItemModel *model, const QString &path)
{
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        if (index.data(ThumbnailListModel::FilePathRole).toString() == path)
            return index;
    }
    return QModelIndex();
}

} // namespace

ThumbnailDelegate::ThumbnailDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

QSize ThumbnailDelegate::sizeHint(const QStyleOptionViewItem &, const QModelIndex &) const
{
    return QSize(98, 98);
}

void ThumbnailDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    const QRect r = option.rect;
    const QColor selection(138, 180, 254);
    if (option.state & QStyle::State_Selected) {
        painter->save();
        painter->setOpacity(0.3);
        painter->fillRect(r, selection);
        painter->setOpacity(1.0);
        painter->setPen(selection);
        painter->drawRect(r.adjusted(0, 0, -1, -1));
        painter->restore();
    }

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(Qt::NoBrush);
    const QPixmap pixmap = index.data(ThumbnailListModel::PixmapRole).value<QPixmap>();
    QPoint at = r.topLeft();
    if (pixmap.width() < ThumbnailListModel::maxWidth)
        at.rx() += (r.width() - pixmap.width()) / 2;
    // Thumbnails stand on a common base line.
    if (pixmap.height() < ThumbnailListModel::maxHeight)
        at.ry() += ThumbnailListModel::maxHeight - pixmap.height();
    at += QPoint(1, 2);
    QPen frame(Qt::darkGray, 0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    frame.setCosmetic(true);
    painter->setPen(frame);
    painter->drawRect(QRect(at, pixmap.size()));
    painter->drawPixmap(at, pixmap);

    painter->setPen(Qt::black);
    const QString name =
            option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight, 98);
    painter->drawText(QRect(r.left(), r.top() + ThumbnailListModel::maxHeight, r.width(),
                            r.height() - ThumbnailListModel::maxHeight),
                      Qt::AlignCenter, name);
    painter->restore();
}

QWidget *ThumbnailDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                         const QModelIndex &index) const
{
    if (proxy) {
        // A renamed file comes back as a new item; in the frozen order it takes this place.
        proxy->recordOrder();
        if (auto *model = qobject_cast<ThumbnailListModel *>(proxy->sourceModel()))
            model->editedPosition = index.row();
    }
    auto *editor = new ThumbnailEditor(parent);
    connect(editor, &ThumbnailEditor::editingFinished, this,
            &ThumbnailDelegate::commitAndCloseEditor);
    return editor;
}

void ThumbnailDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    auto *edit = qobject_cast<QTextEdit *>(editor);
    // The view fills the editor again whenever its item changes (a thumbnail made, the file
    // written): what the user typed stays.
    if (!edit || edit->document()->isModified())
        return;
    // Everything up to the last dot is edited; the extension stays as it is.
    edit->setPlainText(QFileInfo(index.data(Qt::EditRole).toString()).completeBaseName());
    edit->selectAll();
    edit->setAlignment(Qt::AlignCenter);
    edit->document()->setModified(false);
}

void ThumbnailDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                             const QModelIndex &index) const
{
    if (!editor)
        return;
    const QString base = QFileInfo(index.data(Qt::EditRole).toString()).completeBaseName();
    const QRect measured = option.fontMetrics.boundingRect(
            QRect(0, 0, measureWidth, measureHeight),
            Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextWrapAnywhere, base);
    QRect rect = option.rect;
    rect.setTop(option.rect.top() + editorTop);
    // A name of more than one line gets room below the cell rather than a scroll bar.
    if (measured.height() - 1 > 19)
        rect.setBottom(option.rect.bottom() + measured.height() - 12);
    editor->setGeometry(rect);
}

void ThumbnailDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                     const QModelIndex &index) const
{
    auto *edit = qobject_cast<QTextEdit *>(editor);
    if (!edit || !model || !index.isValid())
        return;
    const QString path = index.data(ThumbnailListModel::FilePathRole).toString();
    const QString typed = edit->toPlainText();
    const QFileInfo old(path);
    if (path.isEmpty() || typed == old.completeBaseName() || !isAcceptableBaseName(typed))
        return;
    QString target = old.absolutePath() + QLatin1Char('/') + typed;
    if (!old.suffix().isEmpty())
        target += QLatin1Char('.') + old.suffix();

    QPersistentModelIndex item(index);
    if (exists(target)) {
        const QFileInfo clash(target);
        const QString stem = clash.absolutePath() + QLatin1Char('/') + clash.completeBaseName();
        const QString tail
                = clash.suffix().isEmpty() ? QString() : QLatin1Char('.') + clash.suffix();
        QString numbered;
        for (int n = 2; numbered.isEmpty() || exists(numbered); ++n)
            numbered = stem + QStringLiteral(" %1").arg(n) + tail;
        committing = editor;
        const QMessageBox::StandardButton answer = QMessageBox::question(
                nullptr, tr("Vireon"),
                tr("'%1' already exists. Do you want to rename '%2' to '%3'?")
                        .arg(target, path, numbered),
                QMessageBox::Yes | QMessageBox::No);
        committing.clear();
        if (destroyAfterCommit) {
            // Deleted once back in the event loop, after the view's commit has finished.
            destroyAfterCommit = false;
            editor->deleteLater();
        }
        if (answer != QMessageBox::Yes)
            return;
        target = numbered;
        // The folder may have been re-listed while the question was shown.
        if (!item.isValid() || item.data(ThumbnailListModel::FilePathRole).toString() != path)
            item = findPath(model, path);
        if (!item.isValid())
            return;
    }
    model->setData(item, target, Qt::EditRole);
}

void ThumbnailDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    // Let go while its name is asked about: the view still uses it when the commit returns.
    if (editor && editor == committing) {
        destroyAfterCommit = true;
        return;
    }
    QStyledItemDelegate::destroyEditor(editor, index);
}

void ThumbnailDelegate::commitAndCloseEditor()
{
    QPointer<ThumbnailEditor> editor = qobject_cast<ThumbnailEditor *>(sender());
    if (!editor)
        return;
    emit commitData(editor);
    // A view that let the editor go meanwhile ignores this.
    if (editor)
        emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}
