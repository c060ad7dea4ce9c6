#pragma once

#include <QString>
#include <QtGlobal>
#include <atomic>
#include <cstdint>
#include <memory>

struct AVIOContext;

// The bytes of a music file as FFmpeg reads them, with a bound on how much may
// be read without sound coming of it.
//
// FFmpeg's MPEG audio parser keeps everything it reads until it finds a frame:
// given a file of zeros (a pre-allocated or unfinished download), it reads and
// holds the whole file, gigabytes of it, before it gives up. Here a file ends,
// as FFmpeg sees it, once kBytesWithoutSound bytes have been read since the
// container's headers, since the last seek or since the decoder last made
// sound: a file with no decodable audio in its first megabytes is given up
// quickly and in little memory, and so is a long run of garbage later on.
//
// Owned by the thread that decodes the stream; the stop flag it is given is
// set by another: every read after that fails, so a thread waiting on a slow
// file returns soon.
class BoundedFileInput {
public:
    // What may be read after the headers before the decoder's first sound,
    // and between two sounds.
    static constexpr qint64 kBytesWithoutSound = 4 * 1024 * 1024;
    // What the container's headers may take: covers stored in the file are
    // read with them.
    static constexpr qint64 kHeaderBytes = 64 * 1024 * 1024;

    // Null when the file cannot be opened for reading. stop outlives the input.
    static std::unique_ptr<BoundedFileInput> Open(const QString &fileName, const std::atomic<bool> &stop);
    ~BoundedFileInput();
    BoundedFileInput(const BoundedFileInput &) = delete;
    BoundedFileInput &operator=(const BoundedFileInput &) = delete;

    // The context to give avformat_open_input (as AVFormatContext::pb); it
    // stays ours, so it must outlive the format context.
    AVIOContext *Context() const { return m_context; }

    // The headers have been read: from here on kBytesWithoutSound applies.
    void HeadersRead() { restartCount(kBytesWithoutSound); }
    // The decoder made sound, or the stream was moved: the count starts again.
    void RestartCount() { m_sinceSound = 0; }

private:
    BoundedFileInput(int fd, qint64 size, const std::atomic<bool> &stop);
    void restartCount(qint64 limit);
    static int read(void *opaque, std::uint8_t *buffer, int size);
    static std::int64_t seek(void *opaque, std::int64_t offset, int whence);

    int m_fd;
    qint64 m_size;
    AVIOContext *m_context = nullptr;
    qint64 m_sinceSound = 0;
    qint64 m_limit = kHeaderBytes;
    const std::atomic<bool> &m_stop;
};
