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
// almost every read from the head and tail it fetched when it was opened.
class TbyteSource {
public:
    virtual ~TbyteSource() = default;

    virtual qint64 Size() const = 0;
    // Copies up to count bytes starting at pos into dest; returns how many were
    // copied (fewer at the end of the data, 0 outside it or on a read error).
    virtual qint64 ReadAt(qint64 pos, void *dest, qint64 count) const = 0;

    // Hint that [pos, pos + count) is about to be read piece by piece; a file
    // source fetches it with one system call.
    virtual void Prefetch(qint64 pos, qint64 count) const;

    // True when all count bytes at pos could be copied.
    bool ReadExact(qint64 pos, void *dest, qint64 count) const { return count >= 0 && ReadAt(pos, dest, count) == count; }
};

// A source over bytes held by the caller, who keeps them alive.
class TmemorySource final : public TbyteSource {
public:
    explicit TmemorySource(std::span<const uchar> bytes) : m_bytes(bytes) {}
    TmemorySource(const void *data, qint64 size) : m_bytes(static_cast<const uchar *>(data), size_t(size)) {}

    qint64 Size() const override { return qint64(m_bytes.size()); }
    qint64 ReadAt(qint64 pos, void *dest, qint64 count) const override;

private:
    std::span<const uchar> m_bytes;
};

// A file opened read-only. The constructor reads the first headBytes and the
// last tailBytes with one read each (one read when they overlap); later reads
// inside those ranges cost no system call, others go to the file.
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

    // Replaces the head cache by [pos, pos + count) unless it holds it already.
    void Prefetch(qint64 pos, qint64 count) const override;
    // The file's last-write time, from the same query that gave its size.
    WinFileTime LastWriteTime() const { return m_lastWrite; }

private:
    qint64 readFile(qint64 pos, void *dest, qint64 count) const;

    int m_fd = -1;
    qint64 m_size = 0;
    WinFileTime m_lastWrite;
    mutable QByteArray m_head;
    mutable qint64 m_headPos = 0;
    QByteArray m_tail;
    qint64 m_tailPos = 0;
};

// The error text of a file that cannot be opened, as users see it.
QString CannotOpenFileText(const QString &fileName, int errorNumber);
