#pragma once

#include <QString>

// A caption without its mnemonic marker: the first "&" that is not part of
// a "&&" pair and not the last character is removed. "E&xit" gives "Exit",
// "Rock && Roll" stays as it is.
QString StripAmpersand(const QString &caption);

// A caption as a button shows it: every single "&" (a mnemonic marker) is
// left out and "&&" shows as one "&".
QString CaptionDisplayText(const QString &caption);
