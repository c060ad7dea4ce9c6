#pragma once

#include <QStringView>
#include <string>

// Text as the guests' search compares it: lower case, accents and other
// marks removed (é, è and e are one letter; "Ångström" is "angstrom"),
// ligatures and letters of their own spelled out the way people type them
// (ß as "ss", æ as "ae", ø as "o", ł as "l"), every run of characters that
// are neither letters nor digits made one space, no space at either end.
// UTF-8, so that a library's worth of text searches as one byte string.
std::string FoldedText(QStringView text);

// Appends the folded text to out; faster than FoldedText for many texts.
void AppendFoldedText(QStringView text, std::string &out);
