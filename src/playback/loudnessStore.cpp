#include "playback/loudnessStore.h"

#include "platform/atomicFile.h"
#include "platform/fileNames.h"
#include "playback/loudnessScan.h"

#include <QFile>
#include <QLocale>
#include <cmath>
#include <limits>
#include <sys/stat.h>

namespace {

const QByteArray kHeader = QByteArrayLiteral("VorlenLoudness\t1");
constexpr int kFields = 11;
// No real line comes near this: a path, ten numbers and a name.
constexpr qsizetype kLongestLine = 64 * 1024;
constexpr qint64 kLongestMs = qint64(1) << 40;

// The shortest text that reads back as the same value.
QByteArray number(double value)
{
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

bool readCount(const QByteArray &field, qint64 most, qint64 *value)
{
    bool ok = false;
    *value = field.toLongLong(&ok);
    return ok && *value >= 0 && *value <= most;
}

bool readLevel(const QByteArray &field, double least, double most, double *value)
{
    bool ok = false;
    *value = field.toDouble(&ok);
    return ok && std::isfinite(*value) && *value >= least && *value <= most;
}

bool parseLine(const QByteArray &line, QString *path, TloudnessEntry *entry)
{
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != kFields || fields[0].isEmpty() || (fields[3] != "0" && fields[3] != "1"))
        return false;
    *path = DecodeFileName(QByteArray::fromPercentEncoding(fields[0]));
    entry->measured = fields[3] == "1";
    entry->albumArtist = QString::fromUtf8(QByteArray::fromPercentEncoding(fields[10]));
    return readCount(fields[1], std::numeric_limits<qint64>::max(), &entry->size)
        && readCount(fields[2], std::numeric_limits<qint64>::max(), &entry->modifiedNs)
        && readLevel(fields[4], -200, 50, &entry->loudness) && readLevel(fields[5], 0, 100, &entry->truePeak)
        && readCount(fields[6], kLongestMs, &entry->lengthMs) && readCount(fields[7], kLongestMs, &entry->musicStartMs)
        && readCount(fields[8], kLongestMs, &entry->musicEndMs) && readCount(fields[9], kLongestMs, &entry->endingMs);
}

} // namespace

TfileStamp FileStampOf(const QString &path)
{
    struct stat info { };
    if (::stat(EncodeFileName(path).constData(), &info) != 0)
        return {};
    return { qint64(info.st_size), qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec };
}

std::optional<TloudnessEntry> TloudnessStore::Find(const QString &path, const TfileStamp &stamp) const
{
    std::lock_guard lock(m_mutex);
    const auto it = m_entries.constFind(path);
    if (it == m_entries.cend() || stamp.size < 0 || it->size != stamp.size || it->modifiedNs != stamp.modifiedNs)
        return std::nullopt;
    return *it;
}

void TloudnessStore::Put(const QString &path, const TloudnessEntry &entry)
{
    std::lock_guard lock(m_mutex);
    const auto old = m_entries.constFind(path);
    if (old != m_entries.cend() && old->measured && old->loudness > kSilentLufs) {
        m_loudnessSum -= old->loudness;
        --m_loudnessCount;
    }
    m_entries.insert(path, entry);
    if (entry.measured && entry.loudness > kSilentLufs) {
        m_loudnessSum += entry.loudness;
        ++m_loudnessCount;
    }
    m_changed = true;
}

int TloudnessStore::Count() const
{
    std::lock_guard lock(m_mutex);
    return int(m_entries.size());
}

std::optional<double> TloudnessStore::MeanLoudness() const
{
    std::lock_guard lock(m_mutex);
    if (m_loudnessCount == 0)
        return std::nullopt;
    return m_loudnessSum / m_loudnessCount;
}

void TloudnessStore::recount()
{
    m_loudnessSum = 0;
    m_loudnessCount = 0;
    for (const TloudnessEntry &entry : std::as_const(m_entries)) {
        if (entry.measured && entry.loudness > kSilentLufs) {
            m_loudnessSum += entry.loudness;
            ++m_loudnessCount;
        }
    }
}

bool TloudnessStore::Load(const QString &fileName)
{
    QFile file(fileName);
    Entries entries;
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return false;
        entries = Parse(file.readAll());
    }
    std::lock_guard lock(m_mutex);
    m_entries = std::move(entries);
    recount();
    m_changed = false;
    return true;
}

bool TloudnessStore::Save(const QString &fileName, QString *errorText)
{
    QByteArray bytes;
    {
        std::lock_guard lock(m_mutex);
        if (!m_changed)
            return true;
        bytes = Serialise(m_entries);
        m_changed = false;
    }
    if (WriteFileAtomically(fileName, bytes, errorText))
        return true;
    std::lock_guard lock(m_mutex);
    m_changed = true;
    return false;
}

QByteArray TloudnessStore::Serialise(const Entries &entries)
{
    QByteArray out = kHeader + '\n';
    for (auto it = entries.cbegin(); it != entries.cend(); ++it) {
        const TloudnessEntry &e = it.value();
        const QList<QByteArray> fields { EncodeFileName(it.key()).toPercentEncoding(), QByteArray::number(e.size),
            QByteArray::number(e.modifiedNs), e.measured ? "1" : "0", number(e.loudness), number(e.truePeak),
            QByteArray::number(e.lengthMs), QByteArray::number(e.musicStartMs), QByteArray::number(e.musicEndMs),
            QByteArray::number(e.endingMs), e.albumArtist.toUtf8().toPercentEncoding() };
        out += fields.join('\t');
        out += '\n';
    }
    return out;
}

TloudnessStore::Entries TloudnessStore::Parse(const QByteArray &bytes)
{
    Entries entries;
    qsizetype pos = bytes.indexOf('\n');
    if (pos < 0 || bytes.first(pos) != kHeader)
        return entries;
    ++pos;
    while (pos < bytes.size()) {
        // Every line ends with its newline: one without was cut short.
        const qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            break;
        QString path;
        TloudnessEntry entry;
        if (end - pos <= kLongestLine && parseLine(bytes.sliced(pos, end - pos), &path, &entry))
            entries.insert(path, entry);
        pos = end + 1;
    }
    return entries;
}
