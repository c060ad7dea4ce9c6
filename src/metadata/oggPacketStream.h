#pragma once

#include "metadata/byteSource.h"

#include <QByteArrayView>
#include <QtGlobal>
#include <optional>

// The packet data of one logical stream of an Ogg file as one byte stream:
// the bodies of its pages, one after the other, page headers stepped over. A
// packet that continues on the next page is read whole this way.
//
// The stream followed is the one whose beginning-of-stream page starts with
// the given packet magic ("\x01vorbis", "OpusHead"), so a skeleton or video
// stream in front of it is passed by; without such a page, the first page's
// stream. A file that does not begin with a page is taken as it stands.
class ToggPacketStream final : public TbyteStream {
public:
    ToggPacketStream(const TbyteSource &source, QByteArrayView firstPacketMagic);

    qint64 Read(void *dest, qint64 count) override;

    // Bytes of packet data read so far.
    qint64 Position() const { return m_position; }
    // The file is made of Ogg pages (and no read has failed).
    bool Paged() const { return m_paged; }
    // Where in the file the next byte would come from.
    qint64 FilePosition() const { return m_filePos; }
    // The serial of the logical stream followed, once a page has been read.
    std::optional<quint32> Serial() const { return m_paged && m_serialKnown ? std::optional(m_serial) : std::nullopt; }
    // Drops what is left of the current page: the next read starts with the
    // next page of the stream. For packets that must end their page.
    void EndPage() { m_bodyLeft = 0; }

private:
    void chooseStream(QByteArrayView magic);
    bool nextPage();

    const TbyteSource &m_source;
    qint64 m_position = 0;
    qint64 m_filePos = 0;
    qint64 m_bodyLeft = 0;
    qint64 m_nextPage = 0;
    quint32 m_serial = 0;
    bool m_serialKnown = false;
    bool m_paged = false;
};

inline quint32 LittleEndian32(const uchar *p)
{
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
