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

// Makes the templates in folder with lame and ffmpeg. Every title holds the
// text "No. 0000", which the corpus replaces with each file's own number.
// False (with the failing tool's output in error) when a tool failed.
bool MakeCorpusTemplates(const QString &folder, std::vector<CorpusTemplate> *templates, QString *error);

// Writes count files into folder, cycling through the templates; file i gets
// the number i in its titles (ID3v2 in Latin-1, UTF-8 or UTF-16, and ID3v1).
// templateOf receives the template index of each file. Empty on a write error.
QStringList WriteCorpus(
    const QString &folder, const std::vector<CorpusTemplate> &templates, int count, std::vector<int> *templateOf);
