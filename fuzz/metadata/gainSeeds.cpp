// Writes the seed corpora of the gain tag fuzzers: short files made by ffmpeg
// carrying ReplayGain and R 128 tags in each container, and MP3 files with an
// APEv2 tag appended as MP3 gain tools append it (before an ID3v1 block in
// one of them). Usage: metadata_gain_seeds OUT
#include "audioFixtures.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QtEndian>
#include <cstdio>

namespace {

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray apeTag()
{
    QByteArray items;
    const std::pair<const char *, const char *> texts[]
        = { { "REPLAYGAIN_TRACK_GAIN", "-6.48 dB" }, { "REPLAYGAIN_TRACK_PEAK", "0.977203" },
              { "REPLAYGAIN_ALBUM_GAIN", "-5.10 dB" }, { "Album Artist", "Seed Band" } };
    for (const auto &[key, value] : texts)
        items += le32(quint32(qstrlen(value))) + le32(0) + QByteArray(key) + QByteArray(1, '\0') + value;
    items += le32(4) + le32(2) + QByteArray("Cover Art (Front)") + QByteArray(1, '\0') + QByteArray(4, '\xFF');
    return items + "APETAGEX" + le32(2000) + le32(quint32(items.size() + 32)) + le32(5) + le32(0) + QByteArray(8, '\0');
}

bool appendApe(const QString &from, const QString &to, bool beforeId3v1)
{
    QFile in(from);
    QFile out(to);
    if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
        return false;
    QByteArray bytes = in.readAll();
    QByteArray id3v1;
    if (beforeId3v1 && bytes.right(128).startsWith("TAG")) {
        id3v1 = bytes.right(128);
        bytes.chop(128);
    }
    bytes += apeTag() + id3v1;
    return out.write(bytes) == bytes.size();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (const char *folder : { "gain", "ape" })
        QDir().mkpath(out + QLatin1Char('/') + QLatin1String(folder));
    ToneSpec spec;
    spec.seconds = 0.3;
    spec.bitRate = QStringLiteral("64k");
    spec.id3v1 = true;
    spec.metadata = { { QStringLiteral("title"), QStringLiteral("Seed") },
        { QStringLiteral("album_artist"), QStringLiteral("Seed Band") },
        { QStringLiteral("REPLAYGAIN_TRACK_GAIN"), QStringLiteral("-6.48 dB") },
        { QStringLiteral("REPLAYGAIN_TRACK_PEAK"), QStringLiteral("0.977203") },
        { QStringLiteral("REPLAYGAIN_ALBUM_GAIN"), QStringLiteral("-5.10 dB") },
        { QStringLiteral("R128_TRACK_GAIN"), QStringLiteral("-1280") } };
    QString error;
    for (const char *name : { "gain/tone.mp3", "gain/tone.ogg", "gain/tone.flac", "gain/tone.opus", "gain/tone.wma" }) {
        if (!MakeToneFile(out + QLatin1Char('/') + QLatin1String(name), spec, &error)) {
            std::fprintf(stderr, "%s: %s\n", name, qPrintable(error));
            return 1;
        }
    }
    const QString mp3 = out + QStringLiteral("/gain/tone.mp3");
    if (!appendApe(mp3, out + QStringLiteral("/ape/end.mp3"), false)
        || !appendApe(mp3, out + QStringLiteral("/ape/before-id3v1.mp3"), true)
        || !appendApe(mp3, out + QStringLiteral("/gain/ape.mp3"), true)) {
        std::fprintf(stderr, "the APEv2 seeds could not be written\n");
        return 1;
    }
    return 0;
}
