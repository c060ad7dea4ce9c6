#pragma once

#include "coreFakes.h"
#include "coreTestFolder.h"

#include "core/dmMain.h"
#include "library/m3uFile.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// Answers every message box the windows raise, the way a user who reads it
// and presses OK would, and keeps its text: a test then checks what it was
// told, and a message nobody expected cannot hang the run.
class TmessageBoxWatch {
public:
    TmessageBoxWatch()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text();
            box->done(QMessageBox::Ok);
        });
        m_timer.start();
    }

    QStringList texts;

private:
    QTimer m_timer;
};

// Runs act on the modal dialog of type T as soon as it is on screen: the call
// that opens it runs its own event loop, in which this fires. act must close
// the dialog.
template <typename T> void WhenModal(std::function<void(T *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    const QDeadlineTimer deadline(10000);
    QObject::connect(timer, &QTimer::timeout, [timer, act, deadline] {
        T *dialog = dynamic_cast<T *>(QApplication::activeModalWidget());
        if (!dialog && !deadline.hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (dialog)
            act(dialog);
    });
    timer->start();
}

// Clicks a button, check box or radio button where a user would: near its
// left edge, on the box or the start of the caption (a check box laid out
// wider than its caption does not take a click in its empty middle).
inline void Click(QAbstractButton *button)
{
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(qMin(button->width() / 2, 8), button->height() / 2));
}

// Lets window messages run until the condition holds or a few seconds pass.
inline bool WaitFor(const std::function<bool()> &condition)
{
    const QDeadlineTimer deadline(5000);
    while (!condition() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

// A jukebox of real tracks: a core in a fresh program folder whose library
// (and library cache) holds four encoded songs of three genres.
//
//   Song 0  Band A  Record  Rock
//   Song 1  Band B  Blue    Jazz
//   Song 2  Band A  Other   Rock
//   Song 3  Cafe    Live    Pop
struct PlaylistForms : ::testing::Test {
    static inline std::unique_ptr<QTemporaryDir> s_music;
    static inline QStringList s_tracks;

    static void SetUpTestSuite()
    {
        s_music = std::make_unique<QTemporaryDir>();
        s_tracks.clear();
        const char *rows[][4] = {{"Song 0", "Band A", "Record", "Rock"},
                                 {"Song 1", "Band B", "Blue", "Jazz"},
                                 {"Song 2", "Band A", "Other", "Rock"},
                                 {"Song 3", "Cafe", "Live", "Pop"}};
        for (int i = 0; i < 4; ++i) {
            ToneSpec spec;
            spec.seconds = 1.0 + i;
            spec.frequency = 330 + 110 * i;
            spec.metadata = {{QStringLiteral("title"), QString::fromLatin1(rows[i][0])},
                             {QStringLiteral("artist"), QString::fromLatin1(rows[i][1])},
                             {QStringLiteral("album"), QString::fromLatin1(rows[i][2])},
                             {QStringLiteral("genre"), QString::fromLatin1(rows[i][3])},
                             {QStringLiteral("track"), QString::number(i + 1)}};
            s_tracks << s_music->filePath(QStringLiteral("%1.mp3").arg(i));
            QString error;
            ASSERT_TRUE(MakeToneFile(s_tracks.back(), spec, &error)) << error.toStdString();
        }
    }

    static void TearDownTestSuite() { s_music.reset(); }

    void SetUp() override { start(); }

    void start()
    {
        run.reset();
        run = std::make_unique<TrecordedCore>(folder.options());
        core = &run->core;
        core->StartUp();
        core->AddScannedFiles(s_tracks, false);
    }

    QString writeM3u(const QString &name, const QStringList &files) { return folder.writeM3u(name, files); }

    static QStringList titles(const TcustomTaggerList &list)
    {
        QStringList out;
        for (const TcustomTagger *record : list.Records())
            out << record->Title();
        return out;
    }

    static QStringList sorted(QStringList list)
    {
        list.sort();
        return list;
    }

    const TtagPlaylist &loaded() { return core->jblMain().LoadedPlaylist(); }

    // The window under test's control of that component name.
    template <typename T> T *child(const char *name)
    {
        T *found = shown ? shown->findChild<T *>(QLatin1StringView(name)) : nullptr;
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void click(const char *name) { Click(child<QAbstractButton>(name)); }

    TcoreTestFolder folder;
    std::unique_ptr<TrecordedCore> run;
    TdmMain *core = nullptr;
    TmessageBoxWatch boxes;
    // The window under test, for child and click.
    QWidget *shown = nullptr;
};
