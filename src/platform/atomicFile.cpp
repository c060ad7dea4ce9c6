#include "platform/atomicFile.h"

#include <QSaveFile>

bool WriteFileAtomically(const QString &fileName, const QByteArray &data, QString *errorText)
{
    QSaveFile file(fileName);
    // Never fall back to writing the target in place: that is the torn file
    // this helper exists to prevent.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (errorText)
            *errorText = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}
