// Draws the built-in skin into a folder of PNG pictures and writes the
// resource collection file that compiles them into the program:
//   vorlen-skin-art OUTPUT_FOLDER
// Needs a font, so it runs on a platform with fonts (the offscreen one will do).
#include "skinArtCatalog.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vorlen-skin-art OUTPUT_FOLDER\n");
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
