#include "library/caselessMap.h"

namespace {

// How many characters of a long key are hashed at its start and at its end:
// keys that differ (album names, folders) differ near one end or the other,
// and hashing every character of a long folder path costs more than the
// rare collision a sample lets through.
constexpr qsizetype kHeadSample = 16;
constexpr qsizetype kTailSample = 32;

size_t foldInto(size_t h, const QChar *p, const QChar *const end)
{
    while (p < end) {
        char32_t c = p->unicode();
        ++p;
        if (c < 0x80) {
            // Names are mostly ASCII, which folds to lower case.
            h = h * 31 + (c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && p < end && p->isLowSurrogate()) {
            c = QChar::surrogateToUcs4(char16_t(c), p->unicode());
            ++p;
        }
        h = h * 31 + QChar::toCaseFolded(c);
    }
    return h;
}

} // namespace

size_t qHash(const TcaselessKey &key, size_t seed) noexcept
{
    const QChar *const begin = key.text.constData();
    const qsizetype size = key.text.size();
    if (size <= kHeadSample + kTailSample)
        return qHash(foldInto(seed, begin, begin + size), seed);
    // Equal keys have equal lengths and fold alike code point by code point,
    // so samples cut at the same places hash alike; a cut never splits a
    // surrogate pair.
    qsizetype head = kHeadSample;
    if (begin[head].isLowSurrogate())
        ++head;
    qsizetype tail = size - kTailSample;
    if (begin[tail].isLowSurrogate())
        --tail;
    size_t h = foldInto(seed, begin, begin + head);
    h = foldInto(h * 31 + size_t(size), begin + tail, begin + size);
    return qHash(h, seed);
}
