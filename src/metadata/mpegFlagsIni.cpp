#include "metadata/mpegFlagsIni.h"

#include "platform/programFolders.h"

#include <QSettings>

namespace {
// The registry key path, in QSettings' notation for keys.
const QString kKeyPath = QStringLiteral("Software/Quendle/MpegFlags");
} // namespace

TmpegFlagsIni::TmpegFlagsIni() : m_file(DefaultFile()) {}

TmpegFlagsIni::TmpegFlagsIni(const QString &iniFile) : m_file(iniFile) {}

QString TmpegFlagsIni::DefaultFile()
{
    return UserConfigFolder() + QStringLiteral("/registry.ini");
}

QString TmpegFlagsIni::ReadFlagName(int n, const QString &current) const
{
    QSettings store(m_file, QSettings::IniFormat);
    if (store.status() != QSettings::NoError)
        return current;
    store.beginGroup(kKeyPath);
    const QVariant value = store.value(QStringLiteral("Flag%1").arg(n));
    return value.isValid() ? value.toString() : QStringLiteral("<empty>");
}
