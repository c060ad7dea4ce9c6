#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A mounted optical disc: where it is mounted and the block device (or image
// file) it comes from.
struct CdDrive {
    QString mountPoint;
    QString device;
    bool operator==(const CdDrive &) const = default;
};

// Optical media in a mount table in /proc/self/mountinfo form: entries whose
// source is a /dev/sr* device or whose file system is iso9660 or udf, in device
// order (sr0 before sr1 before sr10).
QList<CdDrive> ParseOpticalMounts(const QByteArray &mountInfo);

// The mounted optical media of this system, in device order.
QList<CdDrive> ListCdDrives();

// The volume serial of a disc, as 8 upper-case hexadecimal digits, computed
// from its ISO 9660 primary volume descriptor (sector 16): the 2048 bytes are
// summed byte-wise into four one-byte lanes (byte i into lane i mod 4) and the
// lanes read as one little-endian 32-bit number. Takes the device or an image
// file. Empty when the descriptor cannot be read or is not a primary volume
// descriptor (no disc, not ISO 9660).
QString VolumeSerialText(const QString &deviceOrImage);
