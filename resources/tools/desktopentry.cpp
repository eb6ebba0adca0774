// Build-time helper: writes the desktop entry from its template, with the MimeType list
// taken from the image formats Qt reads on this machine, so the entry never offers a file
// the program cannot open.
// Usage: desktopentry <in.desktop.in> <out.desktop>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "desktopentry: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    // Some image plugins want a GUI application; build machines have no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return fail(QStringLiteral("usage: desktopentry <in.desktop.in> <out.desktop>"));

    QFile in(args.at(1));
    if (!in.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(args.at(1), in.errorString()));
    QByteArray text = in.readAll();
    const QByteArray placeholder = "@MIME_TYPES@";
    if (!text.contains(placeholder))
        return fail(
                QStringLiteral("%1 has no %2").arg(args.at(1), QString::fromLatin1(placeholder)));

    // Only pictures: a plugin may also claim document types (a painting program's files).
    QList<QByteArray> types;
    const QList<QByteArray> supported = QImageReader::supportedMimeTypes();
    for (const QByteArray &type : supported) {
        if (type.startsWith("image/") && !types.contains(type))
            types << type;
    }
    std::sort(types.begin(), types.end());
    if (!types.contains("image/png") || !types.contains("image/jpeg"))
        return fail(QStringLiteral("Qt reads neither PNG nor JPEG here"));
    text.replace(placeholder, types.join(';') + ';');

    QDir().mkpath(QFileInfo(args.at(2)).absolutePath());
    QSaveFile out(args.at(2));
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit())
        return fail(QStringLiteral("cannot write %1: %2").arg(args.at(2), out.errorString()));
    return 0;
}
