#include "library/m3uFile.h"

#include <QDir>

QStringList ReadM3uLines(const QByteArray &text, const QString &baseFolder)
{
    QStringList names;
    QString decoded = QString::fromUtf8(text);
    if (decoded.startsWith(QChar(0xFEFF)))
        decoded.remove(0, 1);
    const QDir base(baseFolder);
    for (QStringView line : QStringView(decoded).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QString name = line.toString();
        names.append(QDir::isAbsolutePath(name) ? name : QDir::cleanPath(base.filePath(name)));
    }
    return names;
}

QByteArray WriteM3uLines(const QStringList &fileNames)
{
    QByteArray out;
    for (const QString &name : fileNames) {
        out += name.toUtf8();
        out += "\r\n";
    }
    return out;
}
