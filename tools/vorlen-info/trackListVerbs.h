#pragma once

#include <QIODevice>
#include <QJsonObject>
#include <QString>
#include <QStringList>

class TcustomTagger;

// The class name and every property a track-list file holds for a record
// (properties left out of the file by their presence rules are left out here).
QJsonObject StoredRecordJson(const TcustomTagger &record);

// vorlen-info --list FILE.dat: one JSON line per record of a track-list file,
// damaged records skipped as the library's loader skips them (their number is
// reported on err). Returns the exit code.
int ListTrackListFile(const QString &fileName, QIODevice &out, QIODevice &err);

// vorlen-info --save-list OUT.dat MUSICFILE...: reads the music files into a
// track list (stream information on) and writes it as a track-list file. Files
// that give no record are named on err. Returns the exit code.
int SaveTrackListFile(const QString &outFile, const QStringList &musicFiles, QIODevice &err);
