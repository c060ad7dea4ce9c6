#include "library/m3uFile.h"

#include <QDir>
#include <QStringDecoder>
#include <array>

namespace {

// Windows-1252 where it differs from Latin-1 (0x80..0x9F); the five unused
// bytes keep their Latin-1 control characters, which name no file.
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray &text)
{
    QString decoded(text.size(), Qt::Uninitialized);
    QChar *out = decoded.data();
    for (const char byte : text) {
        const auto b = static_cast<unsigned char>(byte);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : char16_t(b));
    }
    return decoded;
}

QString decode(const QByteArray &text, Tm3uEncoding encoding)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded = utf8(text);
    if (encoding == Tm3uEncoding::Detect && utf8.hasError())
        decoded = fromWindows1252(text);
    return decoded;
}

} // namespace

Tm3uEncoding M3uEncodingOf(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".m3u8"), Qt::CaseInsensitive) ? Tm3uEncoding::Utf8
                                                                            : Tm3uEncoding::Detect;
}

QStringList ReadM3uLines(const QByteArray &text, const QString &baseFolder, Tm3uEncoding encoding)
{
    QStringList names;
    QString decoded = decode(text, encoding);
    if (decoded.startsWith(QChar(0xFEFF)))
        decoded.remove(0, 1);
    const QDir base(baseFolder);
    for (QStringView line : QStringView(decoded).split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        const QString name = line.toString();
        names.append(QDir::isAbsolutePath(name) ? name : QDir::cleanPath(base.filePath(name)));
    }
    return names;
}

QByteArray WriteM3uLines(const QStringList &fileNames)
{
    QByteArray out;
    for (const QString &name : fileNames) {
        out += name.toUtf8();
        out += "\r\n";
    }
    return out;
}
