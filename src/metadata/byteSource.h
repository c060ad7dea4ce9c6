#pragma once

#include "platform/fileTime.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>
#include <span>

// Random-access bytes of one music file, for the tag and stream readers.
//
// Readers take a TbyteSource instead of a file so that they run the same on a
// memory buffer (tests, fuzzers) and on a file, where TfileSource answers
// almost every read from the few blocks it fetched.
class TbyteSource {
public:
    virtual ~TbyteSource() = default;

    virtual qint64 Size() const = 0;
    // Copies up to count bytes starting at pos into dest; returns how many were
    // copied (fewer at the end of the data, 0 outside it or on a read error).
    virtual qint64 ReadAt(qint64 pos, void *dest, qint64 count) const = 0;
    // How many bytes from pos a read can copy without touching the file, so
    // that a reader free to choose how much it reads can stay within them.
    // A source that cannot tell answers 0.
    virtual qint64 BytesAtHand(qint64 /*pos*/) const { return 0; }

    // True when all count bytes at pos could be copied.
    bool ReadExact(qint64 pos, void *dest, qint64 count) const
    {
        return count >= 0 && ReadAt(pos, dest, count) == count;
    }
};

// Bytes read one after the other: the packet data of an Ogg stream, or a
// range of a source (a FLAC metadata block).
class TbyteStream {
public:
    virtual ~TbyteStream() = default;

    // Copies up to count bytes into dest, or steps over them when dest is
    // null; returns how many there were.
    virtual qint64 Read(void *dest, qint64 count) = 0;

    bool ReadExact(void *dest, qint64 count) { return count >= 0 && Read(dest, count) == count; }
    bool Skip(qint64 count) { return count >= 0 && Read(nullptr, count) == count; }
    bool ReadU32LE(quint32 *value);
};

// The bytes [start, start + length) of a source, clipped to the source.
class TrangeStream final : public TbyteStream {
public:
    TrangeStream(const TbyteSource &source, qint64 start, qint64 length)
        : m_source(source)
        , m_pos(start)
        , m_end(start + length)
    {
    }

    qint64 Read(void *dest, qint64 count) override;

private:
    const TbyteSource &m_source;
    qint64 m_pos;
    qint64 m_end;
};

// What the MPEG readers fetch from the start of a file with its first read:
// a tag without pictures and the first frames behind it. A larger tag costs
// one more read, from where the reader steps next, not the bytes in between.
constexpr qint64 kMpegHeadBytes = 4096;

// A source over bytes held by the caller, who keeps them alive.
class TmemorySource final : public TbyteSource {
public:
    explicit TmemorySource(std::span<const uchar> bytes)
        : m_bytes(bytes)
    {
    }
    TmemorySource(const void *data, qint64 size)
        : m_bytes(static_cast<const uchar *>(data), size_t(size))
    {
    }

    qint64 Size() const override { return qint64(m_bytes.size()); }
    qint64 ReadAt(qint64 pos, void *dest, qint64 count) const override;
    qint64 BytesAtHand(qint64 pos) const override { return pos >= 0 && pos < Size() ? Size() - pos : 0; }

private:
    std::span<const uchar> m_bytes;
};

// A file opened read-only. The constructor reads the first headBytes (the
// whole file when it is hardly longer); the last tailBytes are read with one
// read when a read first falls inside them, so a reader that needs no tail
// costs no read for it. Later reads inside these ranges cost no system call.
// Small reads elsewhere fetch a 4 KB window from where they start, larger
// ones go straight to the file.
//
// Owned by one thread at a time.
class TfileSource final : public TbyteSource {
public:
    // Raises VorlenError when the file cannot be opened or its size queried.
    TfileSource(const QString &fileName, qint64 headBytes, qint64 tailBytes);
    ~TfileSource() override;
    TfileSource(const TfileSource &) = delete;
    TfileSource &operator=(const TfileSource &) = delete;

    qint64 Size() const override { return m_size; }
    qint64 ReadAt(qint64 pos, void *dest, qint64 count) const override;
    qint64 BytesAtHand(qint64 pos) const override;

    // The file's last-write time, from the same query that gave its size.
    WinFileTime LastWriteTime() const { return m_lastWrite; }

private:
    qint64 readFile(qint64 pos, void *dest, qint64 count) const;

    int m_fd = -1;
    qint64 m_size = 0;
    WinFileTime m_lastWrite;
    static constexpr qint64 kWindowBytes = 4096;

    QByteArray m_head;
    qint64 m_headPos = 0;
    mutable QByteArray m_tail;
    qint64 m_tailPos = 0;
    mutable bool m_tailPending = false;
    mutable QByteArray m_window;
    mutable qint64 m_windowPos = 0;
};

// The error text of a file that cannot be opened, as users see it.
QString CannotOpenFileText(const QString &fileName, int errorNumber);
