#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <unordered_set>
#include <string>

// A field of a mount table (fstab or /proc/self/mountinfo), whose blanks,
// tabs, newlines and backslashes are written as \ooo, as the bytes it stands
// for.
QByteArray UnescapeMountField(QByteArrayView field);

// The mount points a file system table in fstab form names, in the file
// system's encoding without a trailing "/": "/" itself, swap and entries
// that are not absolute paths are left out.
std::unordered_set<std::string> ParseFstabMountPoints(QByteArrayView fstab);

// The mount points of a mount table in /proc/self/mountinfo form.
std::unordered_set<std::string> ParseMountInfoMountPoints(QByteArrayView mountInfo);

// Folders that the file system table names as mount points and on which
// nothing is mounted now: a drive listed in fstab and not plugged in leaves
// its mount point as an empty folder of the file system above it, which is
// not the drive's music. Read from the files given (the system's tables by
// default); a table that cannot be read names nothing.
class TunmountedMountPoints {
public:
    TunmountedMountPoints() = default;
    static TunmountedMountPoints Read(const QString &fstabFile = QStringLiteral("/etc/fstab"),
                                      const QString &mountInfoFile = QStringLiteral("/proc/self/mountinfo"));

    // path in the file system's encoding, with or without a trailing "/".
    bool Contains(std::string_view path) const;
    bool Empty() const { return m_points.empty(); }

private:
    std::unordered_set<std::string> m_points;
};
