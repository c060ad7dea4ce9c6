#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

// Real audio files made at test time by ffmpeg (and lame where asked for).
struct ToneSpec {
    double seconds = 1.0;
    int frequency = 440;
    int sampleRate = 44100;
    int channels = 2;
    // Encoder bit rate ("128k"); ignored when vbrQuality >= 0.
    QString bitRate = QStringLiteral("128k");
    // LAME VBR quality 0..9 (MP3 only, writes a Xing header); -1 for CBR.
    int vbrQuality = -1;
    // Tag fields (title, artist, album, date, comment, track, genre).
    QMap<QString, QString> metadata;
    // MP3 only: ID3v2 version (3 or 4; 0 for none) and whether an ID3v1 tag follows.
    int id3v2Version = 3;
    bool id3v1 = false;
    // A picture file stored in the music file as its front cover: MP3 (APIC)
    // and FLAC (PICTURE block) as an attached picture; Ogg Vorbis and Opus,
    // which take no attached pictures from ffmpeg, as a METADATA_BLOCK_PICTURE
    // comment.
    QString coverImage;
};

// Encodes a sine tone into path; the codec follows the extension (.mp3 LAME,
// .mp2 MPEG layer II, .ogg Vorbis, .opus Opus, .flac FLAC, .wma WMA v2, .wav
// PCM). Returns false and fills error when the encoder failed.
bool MakeToneFile(const QString &path, const ToneSpec &spec, QString *error = nullptr);

// A FLAC picture block: picture type, MIME type, description, 64 x 64 x 24
// bits, no palette, then the image, with 32-bit big-endian lengths.
QByteArray FlacPictureBlock(const QByteArray &image, const QByteArray &mimeType, quint32 pictureType = 3,
    const QByteArray &description = QByteArray());

// Runs a command line tool to completion; false (with its output in error) when
// it could not start or exited non-zero.
bool RunTool(const QString &program, const QStringList &arguments, QString *error = nullptr, int timeoutMs = 120000);
