#include "benchTracks.h"

#include <QProcess>
#include <cstdio>

namespace {

QString PinkNoise(const BenchTrackSpec &spec, int seed)
{
    return QStringLiteral("anoisesrc=color=pink:sample_rate=%1:duration=%2:amplitude=0.25:seed=%3")
        .arg(spec.sampleRate)
        .arg(spec.seconds)
        .arg(seed);
}

} // namespace

bool MakeBenchTrack(const QString &path, const BenchTrackSpec &spec)
{
    QStringList arguments { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
        QStringLiteral("-y") };
    if (spec.sineFrequency > 0) {
        arguments << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
                  << QStringLiteral("sine=frequency=%1:duration=%2:sample_rate=%3")
                         .arg(spec.sineFrequency)
                         .arg(spec.seconds)
                         .arg(spec.sampleRate)
                  << QStringLiteral("-ac") << QStringLiteral("2");
    } else {
        // Two generators with their own seeds: a real stereo signal, which the
        // encoders cannot fold into one channel.
        arguments << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i") << PinkNoise(spec, 1)
                  << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i") << PinkNoise(spec, 2)
                  << QStringLiteral("-filter_complex")
                  << QStringLiteral("[0:a][1:a]join=inputs=2:channel_layout=stereo");
    }
    if (path.endsWith(QStringLiteral(".ogg")))
        arguments << QStringLiteral("-c:a") << QStringLiteral("libvorbis") << QStringLiteral("-q:a")
                  << QStringLiteral("5");
    else if (path.endsWith(QStringLiteral(".flac")))
        arguments << QStringLiteral("-c:a") << QStringLiteral("flac");
    else if (path.endsWith(QStringLiteral(".opus")))
        arguments << QStringLiteral("-c:a") << QStringLiteral("libopus") << QStringLiteral("-b:a")
                  << QStringLiteral("128k");
    else
        arguments << QStringLiteral("-c:a") << QStringLiteral("libmp3lame") << QStringLiteral("-q:a")
                  << QStringLiteral("2");
    arguments << path;

    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    ffmpeg.start(QStringLiteral("ffmpeg"), arguments);
    if (!ffmpeg.waitForFinished(300000) || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "bench-engine: ffmpeg could not make %s\n", qPrintable(path));
        return false;
    }
    return true;
}
