#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// One kind of file of the benchmark's corpus: a real file made by lame, then
// tagged by lame, by ffmpeg or by this project's own writer.
struct CorpusTemplate {
    QString name; // one letter, used in the comparison report
    QString description;
    QByteArray bytes;
};

// Makes the MP3 templates in folder with lame and ffmpeg. Every title holds
// the text "No. 0000", which the corpus replaces with each file's own number.
// False (with the failing tool's output in error) when a tool failed.
bool MakeCorpusTemplates(const QString &folder, std::vector<CorpusTemplate> *templates, QString *error);

// The FLAC templates, encoded and tagged (Vorbis comments, cover pictures in
// PICTURE blocks) by ffmpeg, in the same folder after MakeCorpusTemplates,
// whose cover pictures they use.
bool MakeFlacCorpusTemplates(const QString &folder, std::vector<CorpusTemplate> *templates, QString *error);

// Writes count files named "track#####" with extension (".mp3") into folder,
// cycling through the templates; file i gets the number i in its titles
// (ID3v2 in Latin-1, UTF-8 or UTF-16, ID3v1, Vorbis comments). templateOf
// receives the template index of each file. Empty on a write error.
QStringList WriteCorpus(const QString &folder, const QString &extension, const std::vector<CorpusTemplate> &templates,
    int count, std::vector<int> *templateOf);
