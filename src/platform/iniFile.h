#pragma once

#include <QString>
#include <QStringList>
#include <vector>

struct TboundedLines;

// An INI file held in memory: read as a whole, changed there, written back as a
// whole. Section and key names are matched without regard to case; lines the
// program does not know (unknown keys, comments) stay where they were and are
// written back. Values: integers are decimal text, Booleans "1"/"0" (any
// non-zero integer reads as true), strings run to the end of the line.
//
// A line may take at most kMaxLineBytes: longer lines are no setting anyone
// wrote, and are skipped without being held in memory.
//
// Used on one thread at a time; not shared.
class TiniFile {
public:
    static constexpr qsizetype kMaxLineBytes = 1024 * 1024;

    // Reads fileName when it exists; a missing or unreadable file gives an
    // empty object that will create the file on UpdateFile.
    explicit TiniFile(const QString &fileName);
    TiniFile() = default;

    const QString &FileName() const { return m_fileName; }

    // Why the text could not be read whole, in words for the user; empty when
    // it was (a missing file is read whole: it holds nothing). The file could
    // not be opened or read, holds bytes that are not UTF-8 text, has lines
    // longer than kMaxLineBytes (skipped), or ends inside a line, as a file
    // cut off while it was written does: this class ends every line it
    // writes. What could be read is in the object all the same.
    const QString &ReadProblem() const { return m_readProblem; }

    // Replaces the content by the parsed text (any bytes are accepted; the
    // text is UTF-8).
    void SetText(const QByteArray &text);
    // The content as it will be written.
    QByteArray Text() const;

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);

    // Section names in file order.
    QStringList ReadSections() const;
    // Key names of a section in file order.
    QStringList ReadSection(const QString &section) const;
    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    void EraseSection(const QString &section);
    void DeleteKey(const QString &section, const QString &key);
    void Clear();

    // Writes the whole content to FileName, replacing it atomically. False
    // (with the reason in errorText) when it could not be written.
    bool UpdateFile(QString *errorText = nullptr) const;

private:
    // One line of a section: "key=value", or a line without "=" kept verbatim.
    struct Line {
        QString key;
        QString value;
        bool hasValue = false;
    };
    struct Section {
        QString name;
        std::vector<Line> lines;
    };

    void parse(const TboundedLines &lines);
    const Section *findSection(const QString &name) const;
    Section *findSection(const QString &name);
    static const Line *findKey(const Section &section, const QString &key);

    QString m_fileName;
    QString m_readProblem;
    // Lines ahead of the first section header, kept verbatim.
    QStringList m_preamble;
    std::vector<Section> m_sections;
};
