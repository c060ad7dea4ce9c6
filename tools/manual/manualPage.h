#pragma once

#include <QString>
#include <QStringList>

// The manual's page, made from its hand-written source and the jukebox
// window's own command table, so that the keys it lists are the keys the
// window has.
//
// The source is HTML with three markers:
//
//   <!-- command descriptions
//   actnPlay: what the command does (HTML), one line per command;
//     indented lines continue the description above
//   -->
//   <!-- keys -->                  the table of every command with a key
//   <!-- commands without keys -->  the table of the others
//
// The descriptions block is taken out of the page. Every command of the
// window must be described, and only those.
struct TmanualPage {
    QString html;
    // What keeps the source from making the page; the page is only good
    // when this is empty.
    QStringList errors;
};

TmanualPage BuildManualPage(const QString &source);

// A key as the window's table writes it ("Ctrl+Alt+F", "F10") as xdotool
// names it ("ctrl+alt+f", "F10").
QString XdotoolKey(const QString &key);

// The keys of a command of the window's table: its alternatives ("Ctrl+H; F1"
// gives two), none for a command without a key.
QStringList CommandKeys(const char *key);
