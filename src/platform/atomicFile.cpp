#include "platform/atomicFile.h"

#include <QFileInfo>
#include <QSaveFile>

bool WriteFileAtomically(const QString &fileName, const QByteArray &data, QString *errorText)
{
    QSaveFile file(fileName);
    // Never fall back to writing the target in place: that is the torn file
    // this helper exists to prevent.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (errorText) {
            // Some of the save file's reasons name the file ("Existing file
            // ... is not writable"); whoever reports the failure names it
            // already, and would name it twice.
            QString reason = file.errorString();
            for (const QString &named : {QFileInfo(fileName).absoluteFilePath(), fileName})
                reason.replace(QLatin1Char(' ') + named, QString());
            *errorText = reason;
        }
        file.cancelWriting();
        return false;
    }
    return true;
}
