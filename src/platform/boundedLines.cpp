#include "platform/boundedLines.h"

#include <QFile>
#include <utility>

void TboundedLineSplitter::Feed(QByteArrayView block)
{
    while (!block.isEmpty()) {
        m_open = true;
        const qsizetype end = block.indexOf('\n');
        const QByteArrayView piece = end < 0 ? block : block.first(end);
        if (!m_dropping) {
            if (m_line.size() + piece.size() > m_maxLineBytes + 1) {
                // One byte of slack for the CR of a CR LF line end.
                m_dropping = true;
                m_line = QByteArray();
            } else {
                m_line.append(piece);
            }
        }
        if (end < 0)
            return;
        endLine();
        block = block.sliced(end + 1);
    }
}

void TboundedLineSplitter::endLine()
{
    ++m_result.lineCount;
    if (m_line.endsWith('\r'))
        m_line.chop(1);
    if (m_dropping || m_line.size() > m_maxLineBytes) {
        if (m_result.overlong++ == 0)
            m_result.firstOverlong = m_result.lineCount;
    } else {
        m_result.lines.append(m_line);
    }
    m_line = QByteArray();
    m_dropping = false;
    m_open = false;
}

TboundedLines TboundedLineSplitter::Finish()
{
    if (m_open) {
        endLine();
        m_result.cutOff = true;
    }
    return std::exchange(m_result, TboundedLines());
}

TboundedLines SplitBoundedLines(QByteArrayView text, qsizetype maxLineBytes)
{
    TboundedLineSplitter splitter(maxLineBytes);
    splitter.Feed(text);
    return splitter.Finish();
}

bool ReadBoundedLines(const QString &fileName, qsizetype maxLineBytes, TboundedLines &lines, QString *errorText)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    constexpr qsizetype kBlockBytes = 64 * 1024;
    QByteArray block(kBlockBytes, Qt::Uninitialized);
    TboundedLineSplitter splitter(maxLineBytes);
    for (;;) {
        const qint64 got = file.read(block.data(), kBlockBytes);
        if (got < 0) {
            if (errorText)
                *errorText = file.errorString();
            return false;
        }
        if (got == 0)
            break;
        splitter.Feed(QByteArrayView(block.constData(), qsizetype(got)));
    }
    lines = splitter.Finish();
    return true;
}
