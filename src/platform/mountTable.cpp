#include "platform/mountTable.h"

#include <QFile>
#include <QList>

namespace {

// A table no larger than this is read whole; a larger one is not a mount
// table, and is read no further.
constexpr qint64 kMaxTableSize = 4 * 1024 * 1024;

QByteArray readTable(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kMaxTableSize);
}

std::string withoutTrailingSlash(QByteArrayView path)
{
    std::string text(path.data(), size_t(path.size()));
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

QList<QByteArrayView> fieldsOf(QByteArrayView line)
{
    QList<QByteArrayView> fields;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        const bool blank = i == line.size() || line[i] == ' ' || line[i] == '\t';
        if (blank && start >= 0) {
            fields.append(line.sliced(start, i - start));
            start = -1;
        } else if (!blank && start < 0) {
            start = i;
        }
    }
    return fields;
}

template<typename Each>
void forEachLine(QByteArrayView table, Each each)
{
    qsizetype start = 0;
    while (start < table.size()) {
        qsizetype end = table.indexOf('\n', start);
        if (end < 0)
            end = table.size();
        each(table.sliced(start, end - start));
        start = end + 1;
    }
}

} // namespace

QByteArray UnescapeMountField(QByteArrayView field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            int code = 0;
            bool octal = true;
            for (qsizetype k = i + 1; k <= i + 3; ++k) {
                if (field[k] < '0' || field[k] > '7') {
                    octal = false;
                    break;
                }
                code = code * 8 + (field[k] - '0');
            }
            if (octal && code < 256) {
                out.append(char(code));
                i += 3;
                continue;
            }
        }
        out.append(field[i]);
    }
    return out;
}

std::unordered_set<std::string> ParseFstabMountPoints(QByteArrayView fstab)
{
    std::unordered_set<std::string> points;
    forEachLine(fstab, [&points](QByteArrayView line) {
        const QList<QByteArrayView> fields = fieldsOf(line);
        if (fields.size() < 3 || fields[0].startsWith('#'))
            return;
        if (fields[2] == QByteArrayView("swap"))
            return;
        const QByteArray point = UnescapeMountField(fields[1]);
        if (!point.startsWith('/') || point == "/")
            return;
        points.insert(withoutTrailingSlash(point));
    });
    return points;
}

std::unordered_set<std::string> ParseMountInfoMountPoints(QByteArrayView mountInfo)
{
    std::unordered_set<std::string> points;
    forEachLine(mountInfo, [&points](QByteArrayView line) {
        const QList<QByteArrayView> fields = fieldsOf(line);
        if (fields.size() < 5)
            return;
        points.insert(withoutTrailingSlash(UnescapeMountField(fields[4])));
    });
    return points;
}

TunmountedMountPoints TunmountedMountPoints::Read(const QString &fstabFile, const QString &mountInfoFile)
{
    TunmountedMountPoints result;
    std::unordered_set<std::string> points = ParseFstabMountPoints(readTable(fstabFile));
    if (points.empty())
        return result;
    for (const std::string &mounted : ParseMountInfoMountPoints(readTable(mountInfoFile)))
        points.erase(mounted);
    result.m_points = std::move(points);
    return result;
}

bool TunmountedMountPoints::Contains(std::string_view path) const
{
    if (m_points.empty())
        return false;
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return m_points.count(std::string(path)) != 0;
}
