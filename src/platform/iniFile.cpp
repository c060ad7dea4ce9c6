#include "platform/iniFile.h"

#include "platform/atomicFile.h"
#include "platform/boundedLines.h"

#include <QFile>
#include <QStringDecoder>

namespace {

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

TiniFile::TiniFile(const QString &fileName)
    : m_fileName(fileName)
{
    if (!QFile::exists(fileName))
        return;
    TboundedLines lines;
    QString error;
    if (!ReadBoundedLines(fileName, kMaxLineBytes, lines, &error)) {
        m_readProblem = QStringLiteral("it cannot be read (%1)").arg(error);
        return;
    }
    parse(lines);
}

void TiniFile::SetText(const QByteArray &text)
{
    parse(SplitBoundedLines(text, kMaxLineBytes));
}

void TiniFile::parse(const TboundedLines &lines)
{
    Clear();
    QStringList problems;
    int notText = 0;
    Section *current = nullptr;
    for (const QByteArray &bytes : lines.lines) {
        // A line with NUL bytes (the zeros of a file pre-allocated or cut
        // off by a crash) is no setting and is dropped; other bytes that are
        // not UTF-8 are read as well as they can be.
        if (bytes.contains('\0')) {
            ++notText;
            continue;
        }
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8(bytes);
        if (utf8.hasError())
            ++notText;
        const QString line = decoded.trimmed();
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString name = line.mid(1, line.size() - 2).trimmed();
            current = findSection(name);
            if (!current) {
                m_sections.push_back(Section{name, {}});
                current = &m_sections.back();
            }
            continue;
        }
        if (!current) {
            m_preamble.append(line);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            current->lines.push_back(Line{line, QString(), false});
        else
            current->lines.push_back(Line{line.left(eq).trimmed(), line.mid(eq + 1), true});
    }
    if (notText > 0)
        problems << (notText == 1 ? QStringLiteral("a line holds bytes that are not text")
                                  : QStringLiteral("%1 lines hold bytes that are not text").arg(notText));
    if (lines.overlong > 0)
        problems << QStringLiteral("line %1 is longer than any setting and was skipped").arg(lines.firstOverlong)
                        + (lines.overlong > 1 ? QStringLiteral(" (%1 such lines)").arg(lines.overlong) : QString());
    if (lines.cutOff)
        problems << QStringLiteral("it ends in the middle of a line, as a file cut off while being written does");
    m_readProblem = problems.join(QStringLiteral("; "));
}

QByteArray TiniFile::Text() const
{
    QString out;
    for (const QString &line : m_preamble)
        out += line + u'\n';
    for (const Section &section : m_sections) {
        out += u'[' + section.name + QStringLiteral("]\n");
        for (const Line &line : section.lines)
            out += line.hasValue ? line.key + u'=' + line.value + u'\n' : line.key + u'\n';
        out += u'\n';
    }
    return out.toUtf8();
}

const TiniFile::Section *TiniFile::findSection(const QString &name) const
{
    for (const Section &section : m_sections) {
        if (sameName(section.name, name))
            return &section;
    }
    return nullptr;
}

TiniFile::Section *TiniFile::findSection(const QString &name)
{
    return const_cast<Section *>(std::as_const(*this).findSection(name));
}

const TiniFile::Line *TiniFile::findKey(const Section &section, const QString &key)
{
    for (const Line &line : section.lines) {
        if (line.hasValue && sameName(line.key, key))
            return &line;
    }
    return nullptr;
}

QString TiniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Section *s = findSection(section);
    const Line *line = s ? findKey(*s, key) : nullptr;
    return line ? line->value : defaultValue;
}

int TiniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    bool ok = false;
    const int value = ReadString(section, key, QString()).trimmed().toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool TiniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TiniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    // A value cannot hold a line break: it would end the line in the file.
    QString oneLine = value;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    Section *s = findSection(section);
    if (!s) {
        m_sections.push_back(Section{section, {}});
        s = &m_sections.back();
    }
    if (Line *line = const_cast<Line *>(findKey(*s, key))) {
        line->value = oneLine;
        return;
    }
    s->lines.push_back(Line{key, oneLine, true});
}

void TiniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TiniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList TiniFile::ReadSections() const
{
    QStringList names;
    for (const Section &section : m_sections)
        names.append(section.name);
    return names;
}

QStringList TiniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    if (const Section *s = findSection(section)) {
        for (const Line &line : s->lines) {
            if (line.hasValue)
                keys.append(line.key);
        }
    }
    return keys;
}

bool TiniFile::SectionExists(const QString &section) const
{
    return findSection(section) != nullptr;
}

bool TiniFile::ValueExists(const QString &section, const QString &key) const
{
    const Section *s = findSection(section);
    return s && findKey(*s, key);
}

void TiniFile::EraseSection(const QString &section)
{
    std::erase_if(m_sections, [&](const Section &s) { return sameName(s.name, section); });
}

void TiniFile::DeleteKey(const QString &section, const QString &key)
{
    if (Section *s = findSection(section))
        std::erase_if(s->lines, [&](const Line &line) { return line.hasValue && sameName(line.key, key); });
}

void TiniFile::Clear()
{
    m_preamble.clear();
    m_sections.clear();
}

bool TiniFile::UpdateFile(QString *errorText) const
{
    return WriteFileAtomically(m_fileName, Text(), errorText);
}
