#include "platform/fileExists.h"

#include "platform/fileNames.h"

#include <sys/stat.h>

namespace {

bool statMode(const QString &name, mode_t &mode)
{
    if (name.isEmpty())
        return false;
    struct stat st {};
    if (::stat(EncodeFileName(name).constData(), &st) != 0)
        return false;
    mode = st.st_mode;
    return true;
}

} // namespace

bool QuietFileExists(const QString &fileName)
{
    mode_t mode = 0;
    return statMode(fileName, mode) && !S_ISDIR(mode);
}

bool QuietFolderExists(const QString &folder)
{
    mode_t mode = 0;
    return statMode(folder, mode) && S_ISDIR(mode);
}
