#pragma once

#include <QString>

// Captions of the sixteen type flags, kept per user under the key path
// Software\Quendle\MpegFlags with the values Flag0 .. Flag15, in an INI file
// of the user's config folder, written the way QSettings stores that key path:
//   [Software]
//   Quendle\MpegFlags\Flag0=Live
// The file is opened for each read; nothing is held between calls.
class TmpegFlagsIni {
public:
    // The store in the user's config folder.
    TmpegFlagsIni();
    explicit TmpegFlagsIni(const QString &iniFile);

    static QString DefaultFile();

    // The caption of flag n; "<empty>" when no value is stored. When the store
    // cannot be read, the caption the caller had (current) is returned.
    QString ReadFlagName(int n, const QString &current = QString()) const;

private:
    QString m_file;
};
