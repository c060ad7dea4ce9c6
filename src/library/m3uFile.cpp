#include "library/m3uFile.h"

#include "platform/boundedLines.h"
#include "platform/fileExists.h"
#include "platform/fileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>
#include <array>

namespace {

// Windows-1252 where it differs from Latin-1 (0x80..0x9F); the five unused
// bytes keep their Latin-1 control characters, which name no file.
constexpr std::array<char16_t, 32> kWindows1252High{
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(QByteArrayView text)
{
    QString decoded(text.size(), Qt::Uninitialized);
    QChar *out = decoded.data();
    for (const char byte : text) {
        const auto b = static_cast<unsigned char>(byte);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? kWindows1252High[b - 0x80] : char16_t(b));
    }
    return decoded;
}

bool isUtf8(QByteArrayView text)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // The decoder finds errors only while it makes the text.
    const QString decoded = utf8(text);
    Q_UNUSED(decoded);
    return !utf8.hasError();
}

// A name with a drive letter: a path on a Windows machine.
bool isDrivePath(QStringView name)
{
    return name.size() >= 3 && name[0].isLetter() && name[0].unicode() < 0x80 && name[1] == u':'
           && (name[2] == u'\\' || name[2] == u'/');
}

// A name as read from a line of the list; empty for a line that names nothing.
QString resolve(QString name, const QDir &base)
{
    if (name.trimmed().isEmpty() || name.startsWith(u'#'))
        return QString();
    if (isDrivePath(name))
        return name;
    // Only a name without "/" is taken for a Windows one: on this system "\"
    // may be part of a file name.
    if (!name.contains(u'/'))
        name.replace(u'\\', u'/');
    return QDir::isAbsolutePath(name) ? name : QDir::cleanPath(base.filePath(name));
}

std::vector<Tm3uEntry> readEntries(TboundedLines &lines, const QString &baseFolder, Tm3uEncoding encoding)
{
    if (!lines.lines.isEmpty() && lines.lines.first().startsWith("\xEF\xBB\xBF"))
        lines.lines.first().remove(0, 3);
    bool utf8 = true;
    for (const QByteArray &line : lines.lines) {
        if (!isUtf8(line)) {
            utf8 = false;
            break;
        }
    }
    const bool windows1252 = !utf8 && encoding == Tm3uEncoding::Detect;
    const QDir base(baseFolder);
    std::vector<Tm3uEntry> entries;
    for (const QByteArray &line : lines.lines) {
        const QString name = resolve(windows1252 ? fromWindows1252(line) : QString::fromUtf8(line), base);
        if (name.isEmpty())
            continue;
        // Taken from the list's folder, a name may have grown past what a line
        // may hold; written back, it would be skipped.
        if (name.size() > kMaxM3uLineBytes / 3 && EncodeFileName(name).size() > kMaxM3uLineBytes) {
            ++lines.overlong;
            continue;
        }
        QString fileSystemName;
        if (!utf8) {
            fileSystemName = resolve(DecodeFileName(line), base);
            if (fileSystemName == name)
                fileSystemName.clear();
        }
        entries.push_back(Tm3uEntry{name, fileSystemName});
    }
    return entries;
}

} // namespace

Tm3uEncoding M3uEncodingOf(const QString &fileName)
{
    return fileName.endsWith(QLatin1String(".m3u8"), Qt::CaseInsensitive) ? Tm3uEncoding::Utf8
                                                                            : Tm3uEncoding::Detect;
}

QStringList ReadM3uLines(const QByteArray &text, const QString &baseFolder, Tm3uEncoding encoding)
{
    TboundedLines lines = SplitBoundedLines(text, kMaxM3uLineBytes);
    QStringList names;
    for (const Tm3uEntry &entry : readEntries(lines, baseFolder, encoding))
        names.append(entry.name);
    return names;
}

bool ReadM3uEntries(const QString &fileName, std::vector<Tm3uEntry> &entries, int *overlong, QString *errorText)
{
    TboundedLines lines;
    if (!ReadBoundedLines(fileName, kMaxM3uLineBytes, lines, errorText))
        return false;
    entries = readEntries(lines, QFileInfo(fileName).absolutePath(), M3uEncodingOf(fileName));
    if (overlong)
        *overlong = lines.overlong;
    return true;
}

Tm3uReading ReadM3uFile(const QString &fileName)
{
    Tm3uReading reading;
    std::vector<Tm3uEntry> entries;
    if (!ReadM3uEntries(fileName, entries, &reading.overlong, &reading.error))
        return reading;
    for (const Tm3uEntry &entry : entries) {
        if (QuietFileExists(entry.name))
            reading.files.append(entry.name);
        else if (!entry.fileSystemName.isEmpty() && QuietFileExists(entry.fileSystemName))
            reading.files.append(entry.fileSystemName);
        else
            reading.notFound.append(entry.name);
    }
    return reading;
}

QByteArray WriteM3uLines(const QStringList &fileNames)
{
    QByteArray out;
    for (const QString &name : fileNames) {
        out += EncodeFileName(name);
        out += "\r\n";
    }
    return out;
}
