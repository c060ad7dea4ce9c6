#include "platform/commaText.h"
#include "platform/iniFile.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Any bytes must parse; what was parsed must survive a write and a re-read.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TiniFile ini;
    ini.SetText(bytes);
    for (const QString &section : ini.ReadSections()) {
        for (const QString &key : ini.ReadSection(section)) {
            const QString value = ini.ReadString(section, key, QString());
            ini.ReadBool(section, key, false);
            const QStringList items = FromCommaText(value);
            if (FromCommaText(ToCommaText(items)) != items)
                __builtin_trap();
        }
    }
    TiniFile again;
    again.SetText(ini.Text());
    if (again.Text() != ini.Text())
        __builtin_trap();
    return 0;
}
