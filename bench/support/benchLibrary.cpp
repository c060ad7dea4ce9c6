#include "benchLibrary.h"

#include "library/taggerList.h"
#include "metadata/id3Tagger.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringList>
#include <cstdio>

QString RandomWord(QRandomGenerator &random, int minLength, int maxLength)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyz";
    QString text;
    const int length = random.bounded(minLength, maxLength + 1);
    for (int i = 0; i < length; ++i)
        text += QLatin1Char(letters[random.bounded(26)]);
    text[0] = text[0].toUpper();
    return text;
}

// A library of count tracks by 3,000 artists on 8,000 albums.
void WriteLibraryCache(const QString &fileName, int count)
{
    QRandomGenerator random(42);
    QStringList artists;
    for (int i = 0; i < 3000; ++i)
        artists << RandomWord(random, 4, 10) + QLatin1Char(' ') + RandomWord(random, 3, 9);
    QStringList albums;
    for (int i = 0; i < 8000; ++i)
        albums << RandomWord(random, 3, 9) + QLatin1Char(' ') + RandomWord(random, 2, 12);
    TtaggerList list;
    for (int i = 0; i < count; ++i) {
        auto *record = new Tid3Tagger;
        const int albumIndex = i % albums.size();
        const QString &artist = artists[albumIndex % artists.size()];
        const QString &album = albums[albumIndex];
        const QString title = RandomWord(random, 4, 10) + QLatin1Char(' ') + RandomWord(random, 2, 10);
        record->SetTitle(title);
        record->SetArtist(artist);
        record->SetAlbum(album);
        record->SetDate(QString::number(1960 + albumIndex % 60));
        record->SetTrack(quint32(i / albums.size() + 1));
        record->SetGenreByte(quint8(albumIndex % 148));
        record->SetFilename(QStringLiteral("/home/listener/Music/") + artist + QLatin1Char('/') + album
                            + QStringLiteral("/%1 - ").arg(record->Track(), 2, 10, QLatin1Char('0')) + title
                            + QStringLiteral(".mp3"));
        record->SetDuration(120000.0 + random.bounded(240000));
        record->SetBitRate(192000);
        record->SetSampleRate(44100);
        record->SetChannelMode(1);
        record->SetValidTag(true);
        record->SetModDateHigh(30000000 + quint32(i));
        record->SetModDateLow(quint32(random.generate()));
        list.Add(record);
    }
    // The program saves its library as the last rebuild left it: in title order.
    list.SortBy(tsTitle);
    if (!list.SaveListFile(fileName))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(fileName));
}

long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

