#include "platform/damagedFile.h"

#include "platform/fileNames.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QString DamagedFileName(const QString &fileName)
{
    return fileName + QStringLiteral(".damaged");
}

QString KeepDamagedFile(const QString &fileName, QString *errorText)
{
    const QString kept = DamagedFileName(fileName);
    const QString staging = kept + QStringLiteral(".new");
    const QByteArray source = EncodeFileName(fileName);
    const QByteArray stagingName = EncodeFileName(staging);
    ::unlink(stagingName.constData());
    // Staged under a third name and renamed into place: an older copy is
    // replaced in one step and never lost to a failure half way.
    bool staged = ::link(source.constData(), stagingName.constData()) == 0;
    if (!staged) {
        const int linkError = errno;
        staged = QFile::copy(fileName, staging);
        if (!staged) {
            if (errorText)
                *errorText = systemError(linkError);
            return QString();
        }
    }
    if (::rename(stagingName.constData(), EncodeFileName(kept).constData()) != 0) {
        const int error = errno;
        ::unlink(stagingName.constData());
        if (errorText)
            *errorText = systemError(error);
        return QString();
    }
    // When NAME.damaged already was this very file, rename leaves both names.
    ::unlink(stagingName.constData());
    return kept;
}
