#pragma once

#include <QString>

// Keeps a file that could not be read whole beside itself as NAME.damaged, so
// that whatever the program writes to NAME afterwards, the user's old bytes
// stay. The file is linked under the second name (no copy, and it works for a
// file that cannot be read), copied where the file system has no links; an
// older NAME.damaged is replaced. Returns the name it was kept under, or an
// empty text with the reason in errorText.
QString KeepDamagedFile(const QString &fileName, QString *errorText = nullptr);

// NAME.damaged for NAME.
QString DamagedFileName(const QString &fileName);
