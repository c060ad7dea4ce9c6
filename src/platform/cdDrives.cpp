#include "platform/cdDrives.h"

#include "platform/mountTable.h"

#include <QCollator>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>

namespace {

QString unescapeMountField(QByteArrayView field)
{
    return QFile::decodeName(UnescapeMountField(field));
}

bool isOptical(const QString &source, const QByteArray &fsType)
{
    static const QRegularExpression srDevice(QStringLiteral("^/dev/sr[0-9]+$"));
    return srDevice.match(source).hasMatch() || fsType == "iso9660" || fsType == "udf";
}

} // namespace

QList<CdDrive> ParseOpticalMounts(const QByteArray &mountInfo)
{
    QList<CdDrive> drives;
    for (const QByteArray &line : mountInfo.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf(QByteArray("-"));
        if (separator < 6 || separator + 2 >= fields.size())
            continue;
        const QByteArray fsType = fields[separator + 1];
        const QString source = unescapeMountField(fields[separator + 2]);
        if (!isOptical(source, fsType))
            continue;
        drives.append(CdDrive{unescapeMountField(fields[4]), source});
    }
    QCollator collator;
    collator.setNumericMode(true);
    std::stable_sort(drives.begin(), drives.end(), [&collator](const CdDrive &a, const CdDrive &b) {
        return collator.compare(a.device, b.device) < 0;
    });
    return drives;
}

QList<CdDrive> ListCdDrives()
{
    QFile file(QStringLiteral("/proc/self/mountinfo"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return ParseOpticalMounts(file.readAll());
}

QString VolumeSerialText(const QString &deviceOrImage)
{
    constexpr qint64 kSectorSize = 2048;
    constexpr qint64 kPrimaryDescriptorSector = 16;
    QFile file(deviceOrImage);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(kPrimaryDescriptorSector * kSectorSize))
        return {};
    const QByteArray sector = file.read(kSectorSize);
    if (sector.size() != kSectorSize || sector[0] != 1 || sector.mid(1, 5) != "CD001")
        return {};
    quint8 lanes[4] = {0, 0, 0, 0};
    for (qsizetype i = 0; i < sector.size(); ++i)
        lanes[i % 4] = quint8(lanes[i % 4] + quint8(sector[i]));
    const quint32 serial = quint32(lanes[0]) | quint32(lanes[1]) << 8 | quint32(lanes[2]) << 16
                           | quint32(lanes[3]) << 24;
    return QStringLiteral("%1").arg(serial, 8, 16, QLatin1Char('0')).toUpper();
}
