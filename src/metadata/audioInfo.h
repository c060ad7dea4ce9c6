#pragma once

#include "metadata/mpegFrameHdr.h"

#include <QString>
#include <QtGlobal>

class TbyteSource;

// Stream information of an MPEG audio file: finds the first frame header,
// confirms it with the next frame, and takes the playing time from a Xing
// header (variable bit rate) or from the byte count and the bit rate.
class TAudioInfo {
public:
    // Bytes from the end of a leading ID3v2 tag that an analysis may touch:
    // the search window plus the longest frame, the next header and a Xing
    // header. Callers fetching a file's head fetch this much behind the tag.
    static constexpr qint64 kAnalysisWindow = 16384;

    // Analyses a whole file; raises VorlenError when it cannot be opened. A
    // blank name only resets the object.
    void AnalyseFile(const QString &fileName);
    // Analyses count bytes (fewer when the source ends sooner) from start.
    void AnalyseStream(const TbyteSource &source, qint64 start, qint64 count);

    const TMpegFrameHdr &Header() const { return m_header; }
    // Position of the first frame header relative to the start of the
    // analysis; -1 when none was found.
    qint64 HeaderOffset() const { return m_headerOffset; }
    bool IsVBR() const { return m_isVbr; }
    qint64 DurationMs() const { return m_durationMs; }
    qint64 SearchLimit() const { return m_searchLimit; }
    void SetSearchLimit(qint64 value) { m_searchLimit = value; }

private:
    void reset();

    TMpegFrameHdr m_header;
    qint64 m_headerOffset = -1;
    qint64 m_durationMs = 0;
    qint64 m_searchLimit = 10240;
    bool m_isVbr = false;
};
