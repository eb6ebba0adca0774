// The "objectData" clipboard format pasted into a page of a real scene, and the same bytes
// opened as a framework document: both read object lists that any program may have
// written.
#include "fuzzing.h"

#include "framework/lvscene.h"
#include "scene/objectstream.h"
#include "scene/scene.h"
#include "scene/vrpageitem.h"

#include <QApplication>
#include <QClipboard>
#include <QDataStream>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QUndoStack>

namespace {

// Painting reaches every field an object read: fonts, pens, colours, images.
void render(QGraphicsScene &scene)
{
    QImage canvas(64, 48, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    scene.render(&painter, QRectF(canvas.rect()), scene.itemsBoundingRect());
}

// A newer document version asks the user in a message box; there is no one to answer.
bool newerDocument(const QByteArray &bytes)
{
    QDataStream in(bytes);
    quint32 magic = 0;
    qint32 version = 0;
    in >> magic >> version;
    return magic == ObjectStream::documentMagic && version > ObjectStream::currentVersion;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    Fuzzing::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = Fuzzing::bytes(data, size);
    {
        Scene scene(nullptr, nullptr);
        auto *page = new VRPageItem;
        page->rect = QRect(0, 0, 40, 30);
        scene.addPageCommand(page);
        auto *mime = new QMimeData;
        mime->setData(QStringLiteral("objectData"), bytes);
        QApplication::clipboard()->setMimeData(mime);
        scene.paste();
        render(scene);
        // What was pasted goes back and forth through undo, and out again as a copy.
        scene.undoStack()->undo();
        scene.undoStack()->redo();
        scene.selectAll();
        scene.copy();
        render(scene);
    }
    if (!newerDocument(bytes)) {
        LVScene scene(nullptr, nullptr);
        QDataStream in(bytes);
        scene.read(in);
        render(scene);
    }
    return 0;
}
