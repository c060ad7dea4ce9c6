// vorlen-info: prints what the jukebox reads from music files, one JSON
// object per line and file.
#include "trackInfoJson.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QStringList>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList files = app.arguments().mid(1);
    if (files.isEmpty() || files.first().startsWith(QLatin1String("--"))) {
        std::fprintf(stderr, "usage: vorlen-info FILE...\n");
        return 2;
    }
    for (const QString &file : files) {
        const QByteArray line = QJsonDocument(TrackInfoJson(file)).toJson(QJsonDocument::Compact);
        std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
        std::fputc('\n', stdout);
    }
    return 0;
}
