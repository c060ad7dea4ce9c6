#pragma once

#include "audioFixtures.h"
#include "core/dmMain.h"
#include "library/m3uFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A program folder and a music folder of real encoded tracks for core tests.
struct TcoreTestFolder {
    QTemporaryDir root;

    QString home() const { return root.filePath(QStringLiteral("home")); }
    QString music() const { return root.filePath(QStringLiteral("music")); }

    TcoreTestFolder()
    {
        QDir().mkpath(home());
        QDir().mkpath(music());
    }

    // Encodes one track (a tone of its own frequency) and returns its path.
    QString addTrack(const QString &relativePath, const QString &title, const QString &artist, const QString &album,
                     int track, int frequency = 440, double seconds = 1.0)
    {
        const QString path = music() + QLatin1Char('/') + relativePath;
        QDir().mkpath(QFileInfo(path).path());
        ToneSpec spec;
        spec.seconds = seconds;
        spec.frequency = frequency;
        spec.metadata = {{QStringLiteral("title"), title},
                         {QStringLiteral("artist"), artist},
                         {QStringLiteral("album"), album},
                         {QStringLiteral("track"), QString::number(track)}};
        QString error;
        EXPECT_TRUE(MakeToneFile(path, spec, &error)) << error.toStdString();
        return path;
    }

    // An M3U playlist named name in the folder's root, listing files; its path.
    QString writeM3u(const QString &name, const QStringList &files) const
    {
        const QString path = root.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(WriteM3uLines(files));
        return path;
    }

    TdmMainOptions options(bool manualPump = true) const
    {
        TdmMainOptions o;
        o.folders.home = home();
        o.folders.assets = home();
        o.folders.plugins = home() + QStringLiteral("/plugins");
        o.engine.manualPump = manualPump;
        o.cdDrives = [] { return QList<CdDrive>{}; };
        return o;
    }
};
