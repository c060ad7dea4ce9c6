#include "library/trackListFile.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace {

QByteArray rewrite(const QByteArray &data, int *count)
{
    TtrackListReader reader(data);
    TtrackListWriter writer;
    *count = 0;
    while (std::unique_ptr<TcustomTagger> record = reader.Next()) {
        writer.Write(*record);
        ++*count;
    }
    return writer.Data();
}

} // namespace

// Any bytes must load without harm, and what loaded must be written so that it
// loads back. Reading a genre number assigns its genre name (the genre rule),
// so a record settles after one write; from then on writing and reading must
// reproduce the same bytes.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    int firstCount = 0;
    int secondCount = 0;
    int thirdCount = 0;
    const QByteArray first = rewrite(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &firstCount);
    const QByteArray second = rewrite(first, &secondCount);
    const QByteArray third = rewrite(second, &thirdCount);
    if (firstCount != secondCount || secondCount != thirdCount || second != third)
        __builtin_trap();
    return 0;
}
