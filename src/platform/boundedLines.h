#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The lines of a text file with a bound on what one line may take. A file is
// read a block at a time and a line longer than the bound is dropped as it
// streams by, so a file of any size, even one line of garbage hundreds of
// megabytes long, costs no more memory than the lines that are kept.
struct TboundedLines {
    // Without their line ends ("\n", or "\r\n").
    QList<QByteArray> lines;
    // Lines met in all, kept or not.
    int lineCount = 0;
    // Lines longer than the bound, left out, and the 1-based number of the
    // first of them.
    int overlong = 0;
    int firstOverlong = 0;
    // The text ends inside a line: the last line has no line end.
    bool cutOff = false;
};

class TboundedLineSplitter {
public:
    explicit TboundedLineSplitter(qsizetype maxLineBytes) : m_maxLineBytes(maxLineBytes) {}

    void Feed(QByteArrayView block);
    // What was fed, as lines; the splitter is then empty again.
    TboundedLines Finish();

private:
    void endLine();

    qsizetype m_maxLineBytes;
    TboundedLines m_result;
    QByteArray m_line;
    // The line being fed has passed the bound: the rest of it is dropped.
    bool m_dropping = false;
    // Anything was fed since the last line end.
    bool m_open = false;
};

TboundedLines SplitBoundedLines(QByteArrayView text, qsizetype maxLineBytes);

// False, with the system's reason in errorText, when the file cannot be
// opened or read.
bool ReadBoundedLines(const QString &fileName, qsizetype maxLineBytes, TboundedLines &lines,
                      QString *errorText = nullptr);
