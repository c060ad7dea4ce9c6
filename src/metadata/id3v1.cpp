#include "metadata/id3v1.h"

#include "metadata/textTrim.h"
#include "platform/fileExists.h"

#include <QFile>
#include <cstring>

namespace {

QString field(const uchar *p, int width)
{
    const void *zero = std::memchr(p, 0, size_t(width));
    const int length = zero ? int(static_cast<const uchar *>(zero) - p) : width;
    return QString::fromLatin1(reinterpret_cast<const char *>(p), length);
}

void put(QByteArray &block, int offset, int width, const QString &text)
{
    const QByteArray bytes = text.left(width).toLatin1();
    std::memcpy(block.data() + offset, bytes.constData(), size_t(bytes.size()));
}

} // namespace

bool TId3v1Tag::Parse(const uchar *block)
{
    if (std::memcmp(block, "TAG", 3) != 0)
        return false;
    title = TrimBlanksAndControls(field(block + 3, 30));
    artist = TrimBlanksAndControls(field(block + 33, 30));
    album = TrimBlanksAndControls(field(block + 63, 30));
    year = field(block + 93, 4);
    comment = TrimBlanksAndControls(field(block + 97, 28));
    track = block[126];
    genre = block[127];
    return true;
}

QByteArray TId3v1Tag::Build() const
{
    QByteArray block(kSize, '\0');
    std::memcpy(block.data(), "TAG", 3);
    put(block, 3, 30, title);
    put(block, 33, 30, artist);
    put(block, 63, 30, album);
    put(block, 93, 4, year);
    put(block, 97, 28, comment);
    block[126] = char(track);
    block[127] = char(genre);
    return block;
}

bool WriteId3v1Block(const QString &fileName, const QByteArray &block)
{
    if (!QuietFileExists(fileName))
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return false;
    qint64 pos = file.size();
    if (pos > TId3v1Tag::kSize) {
        char magic[3];
        if (!file.seek(pos - TId3v1Tag::kSize) || file.read(magic, 3) != 3)
            return false;
        if (std::memcmp(magic, "TAG", 3) == 0)
            pos -= TId3v1Tag::kSize;
    }
    return file.seek(pos) && file.write(block) == block.size() && file.flush();
}
