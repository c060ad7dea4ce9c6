#include "platform/commaText.h"
#include "platform/iniFile.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Any bytes must parse; the written form of what was parsed must read back
// to the same written form.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    TiniFile ini;
    ini.SetText(bytes);
    for (const QString &section : ini.ReadSections()) {
        for (const QString &key : ini.ReadSection(section)) {
            const QString value = ini.ReadString(section, key, QString());
            ini.ReadBool(section, key, false);
            ToCommaText(FromCommaText(value));
        }
    }
    TiniFile again;
    again.SetText(ini.Text());
    if (again.Text() != ini.Text())
        __builtin_trap();
    return 0;
}
