#include "audioFixtures.h"

#include "childProcess.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

} // namespace

QByteArray FlacPictureBlock(
    const QByteArray &image, const QByteArray &mimeType, quint32 pictureType, const QByteArray &description)
{
    return bigEndian32(pictureType) + bigEndian32(quint32(mimeType.size())) + mimeType
        + bigEndian32(quint32(description.size())) + description + bigEndian32(64) + bigEndian32(64) + bigEndian32(24)
        + bigEndian32(0) + bigEndian32(quint32(image.size())) + image;
}

bool RunTool(const QString &program, const QStringList &arguments, QString *error, int timeoutMs)
{
    QByteArray output;
    const bool ran = RunChild(program, arguments, {}, &output, timeoutMs);
    if (!ran && error)
        *error = QString::fromLocal8Bit(output);
    return ran;
}

bool MakeToneFile(const QString &path, const ToneSpec &spec, QString *error)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    QStringList args { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
        QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
        QStringLiteral("sine=frequency=%1:duration=%2:sample_rate=%3")
            .arg(spec.frequency)
            .arg(spec.seconds)
            .arg(spec.sampleRate) };
    // The picture is a second input; the options behind it are the output's.
    const bool attachesPicture = extension == QLatin1String("mp3") || extension == QLatin1String("flac");
    if (!spec.coverImage.isEmpty() && attachesPicture)
        args << QStringLiteral("-i") << spec.coverImage << QStringLiteral("-map") << QStringLiteral("0:a")
             << QStringLiteral("-map") << QStringLiteral("1") << QStringLiteral("-c:v") << QStringLiteral("copy")
             << QStringLiteral("-disposition:v") << QStringLiteral("attached_pic") << QStringLiteral("-metadata:s:v")
             << QStringLiteral("comment=Cover (front)");
    args << QStringLiteral("-ac") << QString::number(spec.channels);
    if (!spec.coverImage.isEmpty() && !attachesPicture) {
        QFile image(spec.coverImage);
        if (!image.open(QIODevice::ReadOnly)) {
            if (error)
                *error = QStringLiteral("cannot read ") + spec.coverImage;
            return false;
        }
        const QByteArray mime = spec.coverImage.endsWith(QLatin1String(".png"), Qt::CaseInsensitive)
            ? QByteArrayLiteral("image/png")
            : QByteArrayLiteral("image/jpeg");
        args << QStringLiteral("-metadata")
             << QStringLiteral("METADATA_BLOCK_PICTURE=")
                + QString::fromLatin1(FlacPictureBlock(image.readAll(), mime).toBase64());
    }
    if (extension == QLatin1String("mp3")) {
        args << QStringLiteral("-c:a") << QStringLiteral("libmp3lame");
        if (spec.vbrQuality >= 0)
            args << QStringLiteral("-q:a") << QString::number(spec.vbrQuality);
        else
            args << QStringLiteral("-b:a") << spec.bitRate;
        // Version 0 writes none (the MP3 muxer ignores -write_id3v2).
        args << QStringLiteral("-id3v2_version") << QString::number(spec.id3v2Version);
        args << QStringLiteral("-write_id3v1") << (spec.id3v1 ? QStringLiteral("1") : QStringLiteral("0"));
        // A Xing/Info frame only where VBR asks for one, so CBR files are plain.
        args << QStringLiteral("-write_xing") << (spec.vbrQuality >= 0 ? QStringLiteral("1") : QStringLiteral("0"));
    } else if (extension == QLatin1String("mp2")) {
        args << QStringLiteral("-c:a") << QStringLiteral("mp2") << QStringLiteral("-b:a") << spec.bitRate;
    } else if (extension == QLatin1String("ogg")) {
        args << QStringLiteral("-c:a") << QStringLiteral("libvorbis") << QStringLiteral("-b:a") << spec.bitRate;
    } else if (extension == QLatin1String("opus")) {
        args << QStringLiteral("-c:a") << QStringLiteral("libopus") << QStringLiteral("-b:a") << spec.bitRate;
    } else if (extension == QLatin1String("flac")) {
        args << QStringLiteral("-c:a") << QStringLiteral("flac");
    } else if (extension == QLatin1String("wma")) {
        args << QStringLiteral("-c:a") << QStringLiteral("wmav2") << QStringLiteral("-b:a") << spec.bitRate;
    } else if (extension != QLatin1String("wav")) {
        if (error)
            *error = QStringLiteral("no encoder for .") + extension;
        return false;
    }
    for (auto it = spec.metadata.cbegin(); it != spec.metadata.cend(); ++it)
        args << QStringLiteral("-metadata") << (it.key() + QLatin1Char('=') + it.value());
    args << path;
    return RunTool(QStringLiteral("ffmpeg"), args, error);
}
