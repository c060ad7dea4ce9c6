// Writes a small track-list file of each record class for the fuzzer's seed
// corpus: track_list_seed OUTFILE
#include "library/trackListFile.h"
#include "metadata/flacTagger.h"
#include "metadata/id3Tagger.h"
#include "metadata/oggTagger.h"
#include "metadata/opusTagger.h"
#include "metadata/wmaTagger.h"
#include "platform/atomicFile.h"

#include <QString>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    TtrackListWriter writer;
    Tid3Tagger mp3;
    mp3.SetTitle(QStringLiteral("Title"));
    mp3.SetArtist(QStringLiteral("Artist"));
    mp3.SetAlbum(QString(300, u'a'));
    mp3.SetDuration(225400);
    mp3.SetTrack(70000);
    mp3.SetGenre(QStringLiteral("Rock"));
    mp3.SetFilename(QStringLiteral("/m/x.mp3"));
    mp3.SetTypeFlags(QStringLiteral("ABCD"));
    writer.Write(mp3);
    ToggTagger ogg;
    ogg.SetFilename(QStringLiteral("cdrom:y.ogg"));
    ogg.SetValidTag(true);
    writer.Write(ogg);
    TwmaTagger wma;
    wma.SetModDateHigh(4294967295u);
    writer.Write(wma);
    TflacTagger flac;
    flac.SetFilename(QStringLiteral("/m/z.flac"));
    flac.SetSampleRate(96000);
    flac.SetBitRate(1411200);
    writer.Write(flac);
    TopusTagger opus;
    opus.SetArtist(QStringLiteral("Opus"));
    opus.SetDuration(1000);
    writer.Write(opus);
    return WriteFileAtomically(QString::fromLocal8Bit(argv[1]), writer.Data()) ? 0 : 1;
}
