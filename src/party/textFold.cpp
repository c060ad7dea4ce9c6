#include "party/textFold.h"

#include <QList>
#include <QString>

namespace {

// Letters that no decomposition takes apart but people type as plain letters.
const char *spelledOut(char32_t c)
{
    switch (c) {
    case U'ß':
        return "ss";
    case U'æ':
        return "ae";
    case U'œ':
        return "oe";
    case U'ø':
        return "o";
    case U'ł':
        return "l";
    case U'đ':
    case U'ð':
        return "d";
    case U'þ':
        return "th";
    case U'ı':
        return "i";
    default:
        return nullptr;
    }
}

void appendUtf8(char32_t c, std::string &out)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

class Folder {
public:
    explicit Folder(std::string &out)
        : m_out(out)
        , m_start(out.size())
    {
    }

    void letter(char32_t c)
    {
        if (m_space && m_out.size() > m_start)
            m_out += ' ';
        m_space = false;
        appendUtf8(c, m_out);
    }
    void separator() { m_space = true; }

    // One character of the text, already lower case.
    void add(char32_t c)
    {
        if (c < 0x80) {
            if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
                letter(c);
            else
                separator();
            return;
        }
        if (const char *spelled = spelledOut(c)) {
            for (; *spelled; ++spelled)
                letter(char32_t(*spelled));
            return;
        }
        switch (QChar::category(c)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Other_Format:
            // Marks belong to the letter before them; format characters
            // (joiners, direction marks) are invisible.
            return;
        default:
            break;
        }
        if (QChar::isLetterOrNumber(c))
            letter(c);
        else
            separator();
    }

private:
    std::string &m_out;
    size_t m_start;
    bool m_space = false;
};

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

} // namespace

void AppendFoldedText(QStringView text, std::string &out)
{
    Folder folder(out);
    // Most tags are plain ASCII: those need no decomposition.
    if (isAscii(text)) {
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            folder.add(u >= 'A' && u <= 'Z' ? char32_t(u + 32) : char32_t(u));
        }
        return;
    }
    const QString decomposed = text.toString().normalized(QString::NormalizationForm_KD).toLower();
    for (const char32_t c : decomposed.toUcs4())
        folder.add(c);
}

std::string FoldedText(QStringView text)
{
    std::string out;
    out.reserve(size_t(text.size()));
    AppendFoldedText(text, out);
    return out;
}
