#include "library/m3uFile.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Any bytes must read; the names read must be written so that they read back
// the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString base = QStringLiteral("/music/lists");
    for (const Tm3uEncoding encoding : {Tm3uEncoding::Detect, Tm3uEncoding::Utf8}) {
        const QStringList names = ReadM3uLines(text, base, encoding);
        if (ReadM3uLines(WriteM3uLines(names), base) != names)
            __builtin_trap();
    }
    return 0;
}
