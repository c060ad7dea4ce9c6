#pragma once

#include <QString>
#include <QStringView>

// The name of a file kept in a shared folder on behalf of a file that lives
// elsewhere (a playlist's cache, a cartridge's playlist index): that file's
// name without folder and extension, a dot, eight hexadecimal digits taken
// from its full path, and the extension given ("party.1f0a33c2.vpl"). Files
// of one name in different folders so get names of their own.
QString PathKeyedName(const QString &file, QStringView extension);
