#include "library/caselessMap.h"

size_t qHash(const TcaselessKey &key, size_t seed) noexcept
{
    size_t h = seed;
    const QChar *p = key.text.constData();
    const QChar *const end = p + key.text.size();
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
    return qHash(h, seed);
}
