#include "playback/boundedInput.h"

#include "platform/fileNames.h"
#include "playback/ffmpegHandles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kBufferBytes = 64 * 1024;

} // namespace

std::unique_ptr<BoundedFileInput> BoundedFileInput::Open(const QString &fileName, const std::atomic<bool> &stop)
{
    if (fileName.isEmpty())
        return nullptr;
    const int fd = ::open(EncodeFileName(fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<BoundedFileInput> input(new BoundedFileInput(fd, qint64(info.st_size), stop));
    auto *buffer = static_cast<unsigned char *>(av_malloc(kBufferBytes));
    if (buffer)
        input->m_context = avio_alloc_context(buffer, kBufferBytes, 0, input.get(), &read, nullptr, &seek);
    if (!input->m_context) {
        av_free(buffer);
        return nullptr;
    }
    return input;
}

BoundedFileInput::BoundedFileInput(int fd, qint64 size, const std::atomic<bool> &stop)
    : m_fd(fd)
    , m_size(size)
    , m_stop(stop)
{
}

BoundedFileInput::~BoundedFileInput()
{
    if (m_context) {
        // FFmpeg may have replaced the buffer it was given.
        av_freep(&m_context->buffer);
        avio_context_free(&m_context);
    }
    ::close(m_fd);
}

void BoundedFileInput::restartCount(qint64 limit)
{
    m_sinceSound = 0;
    m_limit = limit;
}

int BoundedFileInput::read(void *opaque, std::uint8_t *buffer, int size)
{
    auto *input = static_cast<BoundedFileInput *>(opaque);
    if (input->m_stop.load(std::memory_order_relaxed))
        return AVERROR_EXIT;
    const qint64 allowed = input->m_limit - input->m_sinceSound;
    if (allowed <= 0)
        return AVERROR_EOF;
    ssize_t got;
    do {
        got = ::read(input->m_fd, buffer, std::size_t(std::min<qint64>(size, allowed)));
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        return AVERROR(errno);
    if (got == 0)
        return AVERROR_EOF;
    input->m_sinceSound += got;
    return int(got);
}

std::int64_t BoundedFileInput::seek(void *opaque, std::int64_t offset, int whence)
{
    auto *input = static_cast<BoundedFileInput *>(opaque);
    whence &= ~AVSEEK_FORCE;
    if (whence == AVSEEK_SIZE)
        return input->m_size;
    const off_t to = ::lseek(input->m_fd, off_t(offset), whence);
    return to < 0 ? AVERROR(errno) : std::int64_t(to);
}
