#include "metadata/byteSource.h"

#include "platform/fileNames.h"
#include "platform/vorlenError.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

qint64 TmemorySource::ReadAt(qint64 pos, void *dest, qint64 count) const
{
    const qint64 size = Size();
    if (pos < 0 || count <= 0 || pos >= size)
        return 0;
    const qint64 n = std::min(count, size - pos);
    std::memcpy(dest, m_bytes.data() + pos, size_t(n));
    return n;
}

bool TbyteStream::ReadU32LE(quint32 *value)
{
    uchar bytes[4];
    if (!ReadExact(bytes, 4))
        return false;
    *value = quint32(bytes[0]) | (quint32(bytes[1]) << 8) | (quint32(bytes[2]) << 16) | (quint32(bytes[3]) << 24);
    return true;
}

qint64 TrangeStream::Read(void *dest, qint64 count)
{
    const qint64 take = std::min({ count, m_end - m_pos, m_source.Size() - m_pos });
    if (take <= 0)
        return 0;
    if (dest && m_source.ReadAt(m_pos, dest, take) != take) {
        m_pos = m_end;
        return 0;
    }
    m_pos += take;
    return take;
}

QString CannotOpenFileText(const QString &fileName, int errorNumber)
{
    return QStringLiteral("Cannot open file \"%1\". %2")
        .arg(ReadableFileName(fileName), QString::fromLocal8Bit(std::strerror(errorNumber)));
}

TfileSource::TfileSource(const QString &fileName, qint64 headBytes, qint64 tailBytes)
{
    const QByteArray path = EncodeFileName(fileName);
    // Non-blocking, so a FIFO named like a music file cannot stall the open;
    // only regular files are read.
    do {
        m_fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (m_fd < 0 && errno == EINTR);
    struct stat st { };
    const bool statted = m_fd >= 0 && ::fstat(m_fd, &st) == 0;
    if (!statted || !S_ISREG(st.st_mode)) {
        const int error = !statted ? errno : (S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        throw VorlenError(CannotOpenFileText(fileName, error));
    }
    m_size = st.st_size;
    m_lastWrite = WinFileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    const qint64 head = std::min(headBytes, m_size);
    m_tailPos = std::max<qint64>(0, m_size - tailBytes);
    // One read when the tail starts inside (or right behind) the head.
    const bool oneRead = m_tailPos <= head;
    const qint64 headLen = oneRead ? m_size : head;
    m_head.resize(headLen);
    m_head.resize(std::max<qint64>(0, readFile(0, m_head.data(), headLen)));
    m_tailPending = !oneRead && tailBytes > 0;
}

TfileSource::~TfileSource()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

qint64 TfileSource::readFile(qint64 pos, void *dest, qint64 count) const
{
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::pread(m_fd, static_cast<char *>(dest) + done, size_t(count - done), off_t(pos + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    return done;
}

qint64 TfileSource::ReadAt(qint64 pos, void *dest, qint64 count) const
{
    if (pos < 0 || count <= 0 || pos >= m_size)
        return 0;
    count = std::min(count, m_size - pos);
    const auto inside = [&](const QByteArray &cache, qint64 cachePos) {
        return pos >= cachePos && pos + count <= cachePos + cache.size();
    };
    if (inside(m_head, m_headPos)) {
        std::memcpy(dest, m_head.constData() + (pos - m_headPos), size_t(count));
        return count;
    }
    if (m_tailPending && pos >= m_tailPos) {
        m_tailPending = false;
        m_tail.resize(m_size - m_tailPos);
        m_tail.resize(std::max<qint64>(0, readFile(m_tailPos, m_tail.data(), m_size - m_tailPos)));
    }
    if (inside(m_tail, m_tailPos)) {
        std::memcpy(dest, m_tail.constData() + (pos - m_tailPos), size_t(count));
        return count;
    }
    if (count > kWindowBytes)
        return readFile(pos, dest, count);
    // Small reads elsewhere (frame headers behind a large cover picture) come
    // in runs: fetch a window so the next ones cost no system call.
    if (!inside(m_window, m_windowPos)) {
        m_window.resize(kWindowBytes);
        m_window.resize(std::max<qint64>(0, readFile(pos, m_window.data(), kWindowBytes)));
        m_windowPos = pos;
        if (!inside(m_window, m_windowPos))
            return 0;
    }
    std::memcpy(dest, m_window.constData() + (pos - m_windowPos), size_t(count));
    return count;
}

qint64 TfileSource::BytesAtHand(qint64 pos) const
{
    const auto from = [pos](const QByteArray &cache, qint64 cachePos) {
        return pos >= cachePos && pos < cachePos + cache.size() ? cachePos + cache.size() - pos : qint64(0);
    };
    return std::max({ from(m_head, m_headPos), from(m_tail, m_tailPos), from(m_window, m_windowPos) });
}
