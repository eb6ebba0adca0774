#include "framework/lvscene.h"
#include "imagefixtures.h"
#include "modalanswerer.h"
#include "scene/checkmarkitem.h"
#include "scene/groupobjectcommand.h"
#include "scene/lineitem.h"
#include "scene/objectstream.h"
#include "scene/textitem.h"
#include "scene/vrimageitem.h"
#include "scene/vrpageitem.h"
#include "testmain.h"
#include "testmemory.h"
#include "testtext.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QUndoStack>
#include <functional>
#include <limits>
#include <optional>

namespace {

enum { Text = ObjectItem::TextType, Image, Rect, Line, Check, Group };

QByteArray bytes(const std::function<void(QDataStream &)> &write,
                 int version = QDataStream::Qt_DefaultCompiledVersion)
{
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setVersion(version);
    write(out);
    return data;
}

template <typename... Values>
QByteArray data(const Values &...values)
{
    return bytes([&](QDataStream &out) { (out << ... << values); });
}

QByteArray png(const QSize &size)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    ImageFixtures::pattern(size).save(&buffer, "PNG");
    return data;
}

// A record as a writer of the version lays it out: at pos, red, 7, 2.5, turned by 30 degrees,
// in a 40 x 30 frame but lines and images (locked 6 x 4 patterns; a group holds two).
void record(QDataStream &out, int type, int version = 3, QPointF pos = { 3, 4 })
{
    out << qint32(type) << pos
        << (type == Line ? QRectF(-20, 0, 20, 35)
                         : QRectF(0, 0, type == Image ? 6 : 40, type == Image ? 4 : 30));
    if (version >= 2)
        out << QColor(Qt::red) << qint8(7) << 2.5 << 30.0;
    if (version >= 3)
        out << qint32(type == Group ? 2 : 0);
    if (type == Text)
        out << QFont(QStringLiteral("Serif"), 13, QFont::Bold) << 18.5 << qint32(2) << false
            << QPointF(0, 0) << QStringLiteral("first") << false << QPointF(0, 18.5)
            << QStringLiteral("second");
    else if (type == Image)
        out << true << png(QSize(6, 4));
    else if (type == Line)
        out << QPointF(-20, 35);
    else if (type == Check)
        out << true;
    for (int i = 0; type == Group && i < 2; ++i)
        record(out, Image, 3, QPointF(10 * i, 5));
}

QByteArray record(int type, int version = 3, QPointF pos = { 3, 4 })
{
    return bytes([=](QDataStream &out) { record(out, type, version, pos); });
}

QByteArray list(const QList<QByteArray> &records, qint32 count = -1)
{
    return data(count < 0 ? qint32(records.size()) : count) + records.join();
}

QByteArray written(const QList<QGraphicsItem *> &items)
{
    return bytes([&items](QDataStream &out) { ObjectStream::writeList(out, items); });
}

// A scene with one image page, as the clipboard side of the reader sees it.
struct Page
{
    Page() : scene(nullptr, nullptr) { scene.addPageCommand(page); }
    QList<ObjectItem *> read(const QByteArray &data, bool direct, int version = 3, int offset = 0)
    {
        QDataStream in(data);
        const auto objects = ObjectStream::readList(in, page, direct, version, offset, !direct);
        status = in.status();
        return objects;
    }
    int steps() { return scene.undoStack()->count(); }
    LVScene scene;
    VRPageItem *page = new VRPageItem;
    QDataStream::Status status = QDataStream::Ok;
};

// What the reader made of an object, in the terms of the format.
QString describe(const ObjectItem *item, std::optional<QPointF> at = {})
{
    static const QStringList kinds { "text", "image", "rectangle", "line", "check", "group" };
    QStringList fields { words(kinds.value(item->type() - Text, "?"), at.value_or(item->pos()),
                               item->rect, item->color.name(), int(item->value14), item->value13,
                               item->rotation()) };
    if (auto *text = dynamic_cast<const TextItem *>(item)) {
        fields << words(text->font.family(), text->font.pointSizeF(), text->font.weight(),
                        text->lineHeight);
        for (const TextItem::Fragment &fragment : text->fragments)
            fields << fragment.text;
    } else if (auto *line = dynamic_cast<const LineItem *>(item)) {
        fields << words("to", line->endPoint);
    } else if (auto *check = dynamic_cast<const CheckMarkItem *>(item)) {
        fields << (check->checked ? "checked" : "unchecked");
    } else if (auto *image = dynamic_cast<const ImageItem *>(item)) {
        const QImage pixels = image->currentImage().convertToFormat(QImage::Format_ARGB32);
        fields << (image->flags() & QGraphicsItem::ItemIsMovable ? "movable" : "locked")
               << (pixels.isNull()                                           ? "empty"
                           : pixels == ImageFixtures::pattern(pixels.size()) ? "pattern"
                                                                             : "other");
    }
    for (QGraphicsItem *child : item->childItems()) {
        auto *member = static_cast<const ObjectItem *>(child);
        fields << QStringLiteral("[%1%2]").arg(describe(member), member->group == item ? "" : "!");
    }
    return fields.join(QLatin1Char(' '));
}

} // namespace

class ObjectStreamTest : public QObject
{
    Q_OBJECT
private slots:
    void knownEncoding_data();
    void knownEncoding();
    void mixedGroupsWrittenAsMembers();
    void document_data();
    void document();
    void damagedInput_data();
    void damagedInput();
    void images_data();
    void images();
};

void ObjectStreamTest::knownEncoding_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("fields");
    // Read with a paste offset of 7.
    const QString at = QStringLiteral("QPointF(10,11) ");
    const QString common = at + "QRectF(0,0 40x30) #ff0000 7 2.5 30";
    const QString image = QStringLiteral("QRectF(0,0 6x4) #ff0000 7 2.5 30 locked pattern");
    const auto row = [](const char *name, int type, const QString &fields, int version = 3) {
        QTest::newRow(name) << type << version << fields;
    };
    row("text", Text, "text " + common + " Serif 13 75 18.5 first second");
    row("image", Image, "image " + at + image);
    row("rectangle", Rect, "rectangle " + common);
    row("line", Line, "line " + at + "QRectF(-20,0 20x35) #ff0000 7 2.5 30 to QPointF(-20,35)");
    row("check mark", Check, "check " + common + " checked");
    const QString member = "[image QPointF(%1,5) " + image + ']';
    row("group of images", Group, "group " + common + ' ' + member.arg(0) + ' ' + member.arg(10));
    // Older versions lack members, then colour, marks and rotation; a byte misread shows.
    row("version 2", Check, "check " + common + " checked", 2);
    row("version 1", Check, "check " + at + "QRectF(0,0 40x30) #000000 0 0 0 checked", 1);
}

// Records read as what they hold, pasted as one selected step, and are written so.
void ObjectStreamTest::knownEncoding()
{
    QFETCH(int, type);
    QFETCH(int, version);
    QFETCH(QString, fields);
    const QByteArray data = list({ record(type, version) });
    Page page;
    const auto objects = page.read(data, false, version, 7);
    QVERIFY(page.status == QDataStream::Ok && objects.size() == 1);
    ObjectItem *object = objects.first();
    QCOMPARE(describe(object), fields);
    QVERIFY(page.steps() == 1 && object->isSelected() && object->initialPos == object->pos());
    object->moveBy(-7, -7);
    if (version == ObjectStream::currentVersion)
        QCOMPARE(written({ object }), data);
    // A shorter prefix holds no whole entry: nothing is taken.
    for (int length = 0; length < data.size(); ++length) {
        Page cut;
        QVERIFY(cut.read(data.left(length), length % 2, version).isEmpty()
                && cut.page->childItems().isEmpty() && cut.steps() == 0
                && cut.status != QDataStream::Ok);
    }
}

// Groups hold images only: one holding anything else is written as its members, where they
// are on the page, and a group of images in it as a group; one holding an image and a group
// of images as one group of three.
void ObjectStreamTest::mixedGroupsWrittenAsMembers()
{
    Page page;
    const QPointF at[] = { { 20, 10 }, { 60, 30 } };
    auto *group = new GroupObjectCommand(
            page.page, page.read(list({ record(Text, 3, at[0]), record(Group, 3, at[1]) }), true));
    page.scene.undoStack()->push(group);
    group->groupItem()->moveBy(3, 2);
    QCOMPARE(written({ group->groupItem() }),
             list({ record(Text, 3, at[0] + QPointF(3, 2)),
                    record(Group, 3, at[1] + QPointF(3, 2)) }));
    auto *images = new GroupObjectCommand(
            page.page, page.read(list({ record(Image), record(Group, 3, at[1]) }), true));
    page.scene.undoStack()->push(images);
    const auto back = page.read(written({ images->groupItem() }), true);
    QVERIFY(back.size() == 1 && back[0]->isGroup && back[0]->childItems().size() == 3);
}

void ObjectStreamTest::document_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("read");
    const quint32 magic = ObjectStream::documentMagic;
    QTest::newRow("bad magic") << data(0x12345678u, qint32(3)) << QString();
    QTest::newRow("version 0") << data(magic, qint32(0)) << QString();
    QTest::newRow("newer version") << data(magic, qint32(4)) << QString();
    // Everything after the version is in the stream layout of Qt 5.1, fonts included.
    const QByteArray old = bytes(
            [](QDataStream &out) {
                out << QStringLiteral("Old") << false << QPointF() << qint32(1) << qint8(0)
                    << qint8(0) << qint32(1);
                record(out, Text, 2);
            },
            QDataStream::Qt_5_1);
    QTest::newRow("version 2") << data(magic, qint32(2)) + old
                               << "Old false QPointF(0,0) | 0 0 QSize(793, 1122) second";
    QTest::newRow("current")
            << data(magic, qint32(3), QStringLiteral("Order"), true, QPointF(3, 4), qint32(2),
                    qint8(QPageLayout::Landscape), qint8(QPageSize::A5))
                    + list({ record(Line) })
                    + data(qint8(QPageLayout::Portrait), qint8(QPageSize::Letter))
                    + list({ record(Check) })
            << "Order true QPointF(3,4) | 1 9 QSize(793, 560) QPointF(-20,35) | 0 2 QSize(816, "
               "1056) checked";
}

// A document reads as what it holds and is written so; another kind of file is refused, a
// newer format with a word to the user.
void ObjectStreamTest::document()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, read);
    const bool newer = QTest::currentDataTag() == QLatin1String("newer version");
    ModalAnswerer *answerer = newer ? ModalAnswerer::messageBox(QMessageBox::Ok) : nullptr;
    LVScene scene(nullptr, nullptr);
    QDataStream in(file);
    QCOMPARE(ObjectStream::readDocument(in, scene), !read.isEmpty());
    if (answerer)
        QCOMPARE(answerer->text(), QStringLiteral("Could not open a new file format."));
    // Each page holds one object, of which its last field shows.
    QStringList parts { words(scene.name, scene.formFlag, scene.formPoint) };
    for (PageItem *page : scene.pages)
        parts << words(page->orientation, page->paperSize, page->rect.size(),
                       describe(page->objects().value(0)).section(' ', -1));
    QCOMPARE(parts.join(" | "), read.isEmpty() ? words("Form", false, QPointF()) : read);
    if (QTest::currentDataTag() == QLatin1String("current")) {
        QVERIFY(in.atEnd());
        QCOMPARE(bytes([&scene](QDataStream &out) { ObjectStream::writeDocument(out, scene); }),
                 file);
    }
}

void ObjectStreamTest::damagedInput_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("accepted");
    const qint32 huge = std::numeric_limits<qint32>::max();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const QByteArray font = data(QFont(QStringLiteral("Serif"), 13, QFont::Bold));
    const QByteArray red = data(QColor(Qt::red));
    // A list of a whole rectangle, then the damaged entry.
    const auto damaged = [](const QString &name, const QByteArray &entry, qint32 count = 2) {
        QTest::newRow(qPrintable(name)) << list({ record(Rect), entry }, count) << false;
    };
    damaged("object count", QByteArray(), huge);
    damaged("fragment count", record(Text).replace(data(18.5, qint32(2)), data(18.5, huge)));
    // The family list's count is last in the font.
    damaged("font families",
            record(Text).replace(font, font.chopped(4) + data(huge, QStringLiteral("Sans"))));
    damaged("png length",
            record(Image).replace(data(png(QSize(6, 4))),
                                  data(quint32(0x80000000)) + QByteArray(64, 'x')));
    damaged("member count", record(Group).replace(data(30.0, qint32(2)), data(30.0, huge)));
    damaged("unknown type", data(qint32(Group + 1)) + record(Rect).mid(4) + record(Rect), 3);
    damaged("text member",
            record(Group).replace(data(qint32(Image)), data(qint32(Text))) + record(Rect), 3);
    // Beyond the enumeration's range: reading it back as a colour model is undefined.
    for (const qint8 model : { -1, 100 })
        damaged(QStringLiteral("colour model %1").arg(model),
                record(Rect).replace(red, data(model) + red.mid(1)));
    damaged("position not a number",
            record(Rect).replace(data(QPointF(3, 4)), data(QPointF(nan, 0))));
    // Font sizes at the ends of what the toolkit paints with, and beyond.
    const QList<std::tuple<double, qint32, bool>> sizes {
        { 0.01, -1, true }, { 4096, -1, true },        { -1, 1, true },    { -1, 4096, true },
        { -1, -1, true },   { -1, -400000000, false }, { -1, 0, false },   { -1, 4097, false },
        { 0, -1, false },   { 4096.5, -1, false },     { nan, -1, false }, { qInf(), -1, false }
    };
    for (const auto &[points, pixels, accepted] : sizes)
        QTest::newRow(qPrintable(QStringLiteral("font size %1 pt %2 px").arg(points).arg(pixels)))
                << list({ record(Rect),
                          record(Text).replace(data(13.0, qint32(-1)), data(points, pixels)) })
                << accepted;
}

// Only the whole rectangle before the damage is taken; whatever is taken can be painted.
void ObjectStreamTest::damagedInput()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, accepted);
    for (bool direct : { true, false }) {
        Page page;
        const auto objects = page.read(data, direct);
        const int taken = accepted ? 2 : 1;
        QCOMPARE(page.status == QDataStream::Ok, accepted);
        QVERIFY(objects.size() == taken && objects.first()->type() == Rect);
        QVERIFY(page.page->childItems().size() == taken && page.steps() == (direct ? 0 : taken)
                && objects.first()->isSelected() == !direct);
        QImage shot(64, 64, QImage::Format_ARGB32);
        QPainter painter(&shot);
        page.scene.render(&painter);
    }
}

void ObjectStreamTest::images_data()
{
    QTest::addColumn<QByteArray>("png");
    QTest::addColumn<bool>("roomLeft");
    QTest::addColumn<bool>("allocatesNothing");
    const auto claim = ImageFixtures::pngHeaderClaiming;
    QTest::newRow("empty") << QByteArray() << true << true;
    QTest::newRow("claims 40000 x 40000") << claim(40000, 40000, 8) << true << true;
    QTest::newRow("a text chunk claiming 512 MiB")
            << claim(4, 4, 8).insert(33, QByteArray::fromHex("20000000") + "tEXtComment") << true
            << true;
    // The images of one read share one budget. A claimed size counts whether or not the
    // pixels follow: it is what a decoder allocates.
    QTest::newRow("budget used up") << claim(16384, 16384, 8) << false << false;
    QTest::newRow("room left") << claim(16384, 16383, 8) << true << false;
    QTest::newRow("16-bit channels take 8 bytes") << claim(8192, 16384, 16) << false << false;
    QTest::newRow("8-bit channels take 4 bytes") << claim(8192, 16384, 8) << true << false;
}

// An image that cannot be decoded stays, empty and locked, and what follows is read; no
// claim beyond the budget is allocated.
void ObjectStreamTest::images()
{
    QFETCH(QByteArray, png);
    QFETCH(bool, roomLeft);
    QFETCH(bool, allocatesNothing);
    const QByteArray first = record(Image).replace(data(::png(QSize(6, 4))), data(png));
    for (int i = roomLeft ? 1 : 2; i > 0; --i)
        QTest::ignoreMessage(QtDebugMsg, "ImageItem::loading: error");
    Page page;
    const qint64 peak = peakAddressSpace();
    const auto objects = page.read(list({ first, record(Image) }), false);
    QVERIFY(!allocatesNothing || peakAddressSpace() - peak < (qint64(64) << 20));
    QVERIFY(page.status == QDataStream::Ok && objects.size() == 2);
    QCOMPARE(describe(objects.first()).section(' ', -2), QStringLiteral("locked empty"));
    QCOMPARE(describe(objects.last()).section(' ', -1), roomLeft ? "pattern" : "empty");
}

VIREON_TEST_MAIN(ObjectStreamTest)
#include "tst_objectstream.moc"
