#include "playbackFixtures.h"

#include "audioFixtures.h"

#include <gtest/gtest.h>

PlaybackFiles::PlaybackFiles()
{
    EXPECT_TRUE(m_dir.isValid());
}

QString PlaybackFiles::Wave(const QString &name, const QString &expression, double seconds)
{
    const QString path = m_dir.filePath(name);
    QString error;
    const bool made = RunTool(QStringLiteral("ffmpeg"),
                              {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                               QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                               QStringLiteral("aevalsrc=%1|%1:s=44100:d=%2").arg(expression).arg(seconds),
                               QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"), path},
                              &error);
    EXPECT_TRUE(made) << error.toStdString();
    return path;
}

QString PlaybackFiles::FloatFile(const QString &name, const QString &left, const QString &right, double seconds,
                                 const QString &codec, const QString &sampleFormat, int sampleRate)
{
    const QString path = m_dir.filePath(name);
    QString error;
    const bool made = RunTool(QStringLiteral("ffmpeg"),
                              {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"), QStringLiteral("error"),
                               QStringLiteral("-y"), QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                               QStringLiteral("aevalsrc=%1|%2:s=%3:d=%4").arg(left, right).arg(sampleRate).arg(seconds),
                               QStringLiteral("-c:a"), codec, QStringLiteral("-sample_fmt"), sampleFormat, path},
                              &error);
    EXPECT_TRUE(made) << error.toStdString();
    return path;
}

QString PlaybackFiles::Tone(const QString &name, int frequency, double seconds)
{
    const QString path = m_dir.filePath(name);
    ToneSpec spec;
    spec.frequency = frequency;
    spec.seconds = seconds;
    QString error;
    EXPECT_TRUE(MakeToneFile(path, spec, &error)) << error.toStdString();
    return path;
}
