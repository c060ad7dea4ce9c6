#pragma once

#include <QString>
#include <QStringList>

// Comma text: the one-line form of a string list in settings files.
//
// Items are separated by ","; an item holding a space, a control character, a
// double quote or a comma is enclosed in double quotes with inner quotes
// doubled. A list of one empty item is written as two double quotes so that it
// reads back as one item rather than none.
QString ToCommaText(const QStringList &items);

// Reads comma text: white space around items is skipped; a quoted item runs to
// its closing quote (a doubled quote standing for one, a missing closing quote
// ending the item at the end of the text); an unquoted item runs up to the next
// space, control character or ",".
QStringList FromCommaText(QStringView text);
