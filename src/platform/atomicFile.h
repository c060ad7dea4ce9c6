#pragma once

#include <QByteArray>
#include <QString>

// Replaces fileName with data: the bytes go to a temporary file beside the
// target, which is flushed to disk and then renamed over it. A crash or a full
// disk leaves either the old file or the new one, never a torn one. On failure
// the old file is untouched, the temporary file is removed and errorText (when
// given) receives the reason.
bool WriteFileAtomically(const QString &fileName, const QByteArray &data, QString *errorText = nullptr);
