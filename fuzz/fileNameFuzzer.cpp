#include "platform/boundedLines.h"
#include "platform/fileNames.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// Any bytes are a file name that comes back as the same bytes; and lines
// split from blocks come out as from the whole text, wherever the blocks are
// cut.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString name = DecodeFileName(bytes);
    if (EncodeFileName(name) != bytes || DecodeFileName(EncodeFileName(name)) != name)
        __builtin_trap();
    if (ReadableFileName(name).size() != name.size())
        __builtin_trap();

    const qsizetype bound = size == 0 ? 1 : qsizetype(data[0] % 16) + 1;
    const TboundedLines whole = SplitBoundedLines(bytes, bound);
    TboundedLineSplitter splitter(bound);
    const qsizetype cut = size == 0 ? 0 : qsizetype(data[size - 1]) % qsizetype(size);
    splitter.Feed(bytes.first(cut));
    splitter.Feed(bytes.sliced(cut));
    const TboundedLines pieces = splitter.Finish();
    if (pieces.lines != whole.lines || pieces.overlong != whole.overlong || pieces.cutOff != whole.cutOff ||
        pieces.lineCount != whole.lineCount)
        __builtin_trap();
    return 0;
}
