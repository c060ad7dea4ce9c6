#include "platform/pathKeyedName.h"

#include <QCryptographicHash>
#include <QFileInfo>

QString PathKeyedName(const QString &file, QStringView extension)
{
    const QFileInfo info(file);
    const QByteArray pathHash
        = QCryptographicHash::hash(info.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return info.completeBaseName() + u'.' + QString::fromLatin1(pathHash) + extension.toString();
}
