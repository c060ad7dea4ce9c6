#include "playbackFixtures.h"

#include "audioFixtures.h"

#include <QFile>
#include <gtest/gtest.h>
#include <random>

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
    ToneSpec spec;
    spec.frequency = frequency;
    spec.seconds = seconds;
    return Tone(name, spec);
}

QString PlaybackFiles::Tone(const QString &name, const ToneSpec &spec)
{
    const QString path = m_dir.filePath(name);
    QString error;
    EXPECT_TRUE(MakeToneFile(path, spec, &error)) << error.toStdString();
    return path;
}

QString PlaybackFiles::RandomBytes(const QString &name, int bytes, unsigned seed)
{
    std::mt19937 generator(seed);
    QByteArray data(bytes, Qt::Uninitialized);
    for (char &byte : data)
        byte = char(generator());
    const QString path = m_dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(data) == bytes);
    return path;
}

QString PlaybackFiles::CutCopy(const QString &name, const QString &from, qint64 bytes)
{
    QFile source(from);
    EXPECT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray data = source.read(bytes);
    EXPECT_EQ(data.size(), bytes) << "the source is shorter than the cut";
    const QString path = m_dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
    return path;
}
