// Draws the built-in skin into a folder of PNG pictures and writes the
// resource collection file that compiles them into the program:
//   vorlen-skin-art OUTPUT_FOLDER
// or draws the program's icon at each size into an icon theme's layout,
// OUTPUT_FOLDER/hicolor/SIZExSIZE/apps/vorlen.png:
//   vorlen-skin-art --icon OUTPUT_FOLDER SIZE...
// Needs a font, so it runs on a platform with fonts (the offscreen one will do).
#include "appIcon.h"
#include "skinArtCatalog.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

int writeIcons(const QDir &output, const QStringList &sizes)
{
    for (const QString &text : sizes) {
        bool ok = false;
        const int size = text.toInt(&ok);
        if (!ok || size <= 0) {
            std::fprintf(stderr, "vorlen-skin-art: not an icon size: %s\n", qPrintable(text));
            return 2;
        }
        const QString file = output.filePath(QStringLiteral("hicolor/%1x%1/apps/vorlen.png").arg(size));
        QDir().mkpath(QFileInfo(file).path());
        if (!DrawAppIcon(size).convertToFormat(QImage::Format_ARGB32).save(file, "PNG")) {
            std::fprintf(stderr, "vorlen-skin-art: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() >= 3 && arguments[1] == QLatin1String("--icon"))
        return writeIcons(QDir(arguments[2]), arguments.mid(3));
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlen-skin-art OUTPUT_FOLDER\n       vorlen-skin-art --icon OUTPUT_FOLDER SIZE...\n");
        return 2;
    }
    const QDir output(QString::fromLocal8Bit(argv[1]));
    QString collection = QStringLiteral("<RCC>\n  <qresource prefix=\"/vorlen/skin\">\n");
    for (const ArtPicture &picture : BuildSkinArt()) {
        const QString file = output.filePath(picture.path);
        QDir().mkpath(QFileInfo(file).path());
        const QImage image = picture.image.hasAlphaChannel() ? picture.image.convertToFormat(QImage::Format_ARGB32)
                                                             : picture.image.convertToFormat(QImage::Format_RGB888);
        if (!image.save(file, "PNG")) {
            std::fprintf(stderr, "vorlen-skin-art: cannot write %s\n", qPrintable(file));
            return 1;
        }
        collection += QStringLiteral("    <file>%1</file>\n").arg(picture.path);
    }
    collection += QStringLiteral("  </qresource>\n</RCC>\n");
    QFile qrc(output.filePath(QStringLiteral("skinArt.qrc")));
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate) || qrc.write(collection.toUtf8()) < 0) {
        std::fprintf(stderr, "vorlen-skin-art: cannot write %s\n", qPrintable(qrc.fileName()));
        return 1;
    }
    return 0;
}
