#pragma once

#include "core/dmMain.h"
#include "core/userInterface.h"
#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "metadata/customTagger.h"
#include "playback/crossPlayer.h"
#include "playback/vorlenStream.h"

#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

// A face that records every announcement of the core.
//
// Given a library to watch, it behaves like a window that shows it: at every
// ListsUpdated it takes pointers to every album, artist and record of the
// index, drops them at LibraryChanging, and touches all it holds whenever
// pending events run (a zero-time timer), as a user clicking around during
// a scan would. Under the address sanitizer a change the window was not told
// of first fails the test.
class TrecordingFace : public TcoreListener {
public:
    TrecordingFace()
    {
        m_toucher.setInterval(0);
        QObject::connect(&m_toucher, &QTimer::timeout, [this] { TouchHeldPointers(); });
        m_toucher.start();
    }

    void Watch(const Tmp3JukeBoxLists *library)
    {
        watched = library;
        takePointers();
    }

    void LibraryChanging() override
    {
        log << QStringLiteral("LibraryChanging");
        albums.clear();
        artists.clear();
        records.clear();
    }
    void ListsUpdated() override
    {
        log << QStringLiteral("ListsUpdated");
        takePointers();
    }
    void PositionChanged(const TvorlenStream &) override { ++positions; }
    void PositionJumped(qint64 positionMs) override { log << QStringLiteral("PositionJumped %1").arg(positionMs); }
    void QueueChanged() override { log << QStringLiteral("QueueChanged"); }
    void PlayStateChanged(TstreamState state) override { log << QStringLiteral("PlayStateChanged %1").arg(int(state)); }
    void TrackChanged(const TnowPlaying &playing) override
    {
        log << QStringLiteral("TrackChanged");
        tracks << (playing.track ? playing.track->Title() : QString());
        covers << playing.coverFile;
    }
    void StackerChanging() override { log << QStringLiteral("StackerChanging"); }
    void StackerChanged() override { log << QStringLiteral("StackerChanged"); }
    void PlaylistChanged() override { log << QStringLiteral("PlaylistChanged"); }
    void LoadSettings(TiniFile &) override { log << QStringLiteral("LoadSettings"); }
    void SaveSettings(TiniFile &) override { log << QStringLiteral("SaveSettings"); }
    void VolumeChanged() override { log << QStringLiteral("VolumeChanged"); }
    void TreeFontChanged() override { log << QStringLiteral("TreeFontChanged"); }
    void VisTimer() override { ++visTicks; }
    void PlaylistsLoaded() override { log << QStringLiteral("PlaylistsLoaded"); }
    void ActivePlaylistChanged() override { log << QStringLiteral("ActivePlaylistChanged"); }
    void TaskStarted(TcoreTask, const QString &title, int) override { tasks << title; }
    void QuitRequested() override { log << QStringLiteral("QuitRequested"); }
    void PartyChanged() override { log << QStringLiteral("PartyChanged"); }

    int count(const QString &entry) const { return int(log.count(entry)); }

    // Reads every held pointer; returns how many objects it reached.
    int TouchHeldPointers()
    {
        qsizetype sum = 0;
        for (const TtagAlbum *album : albums)
            sum += album->AlbumName().size() + album->Count();
        for (const TtagArtist *artist : artists)
            sum += artist->Artist().size() + artist->Count();
        for (const TcustomTagger *record : records)
            sum += record->Title().size() + record->Filename().size();
        touched += sum > 0 ? 1 : 0;
        return int(albums.size() + artists.size() + records.size());
    }

    QStringList log;
    // The titles of the long work begun.
    QStringList tasks;
    QStringList tracks;
    QStringList covers;
    int positions = 0;
    int visTicks = 0;
    const Tmp3JukeBoxLists *watched = nullptr;
    std::vector<const TtagAlbum *> albums;
    std::vector<const TtagArtist *> artists;
    std::vector<const TcustomTagger *> records;
    int touched = 0;

private:
    void takePointers()
    {
        albums.clear();
        artists.clear();
        records.clear();
        if (!watched)
            return;
        for (int i = 0; i < watched->AlbumList().Count(); ++i) {
            albums.push_back(watched->AlbumList().Albums(i));
            for (const TcustomTagger *record : albums.back()->Records())
                records.push_back(record);
        }
        for (int i = 0; i < watched->ArtistList().Count(); ++i) {
            artists.push_back(watched->ArtistList().Artists(i));
            for (const TcustomTagger *record : artists.back()->Records())
                records.push_back(record);
        }
    }

    QTimer m_toucher;
};

// Dialogs that answer from a script and record what they were asked.
class TscriptedUi : public TcoreUserInterface {
public:
    void ShowMessage(const QString &text, const QString &caption, TmessageIcon) override
    {
        messages << caption + QStringLiteral(": ") + text;
    }
    void ShowNotice(const QString &text, const QString &caption, TmessageIcon) override
    {
        notices << caption + QStringLiteral(": ") + text;
    }
    bool AskYesNo(const QString &text, const QString &caption) override
    {
        questions << caption + QStringLiteral(": ") + text;
        if (answers.empty())
            return false;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void OfferYesNo(const QString &text, const QString &caption, std::function<void(bool)> answered) override
    {
        offers << caption + QStringLiteral(": ") + text;
        offerAnswers.push_back(std::move(answered));
    }
    QStringList ChooseMusicFiles(const QString &) override { return files; }
    TtagAlbum *ChooseAlbum() override { return album; }
    void ShowWindow(TcoreWindow window) override { windows.push_back(window); }
    bool ShowTipDialog(TtipDialogState &state) override
    {
        ++tipDialogs;
        return tipDialog ? tipDialog(state) : false;
    }

    QStringList messages;
    QStringList notices;
    QStringList questions;
    std::deque<bool> answers;
    // Questions that do not wait: the test answers them when it likes.
    QStringList offers;
    std::vector<std::function<void(bool)>> offerAnswers;
    QStringList files;
    TtagAlbum *album = nullptr;
    std::vector<TcoreWindow> windows;
    int tipDialogs = 0;
    // Shows the tip dialog when set.
    std::function<bool(TtipDialogState &)> tipDialog;
};

// The core's player driven by hand: tests pump its engine (the engine's
// manual-pump mode) and stop its timer, which no face of the jukebox does.
inline TcrossPlayer &DrivenPlayer(TdmMain &core)
{
    return const_cast<TcrossPlayer &>(core.Player());
}

// The core's library filled by hand: tests add invented records that name
// no file, which no face of the jukebox can. What the library announces of
// the change still reaches every face.
inline Tmp3JukeBoxLists &FilledLibrary(TdmMain &core)
{
    return const_cast<Tmp3JukeBoxLists &>(core.jblMain());
}

// A core as the program starts it: a recording face subscribed before the
// settings pass, and questions answered from a script.
struct TrecordedCore {
    explicit TrecordedCore(TdmMainOptions options)
        : core(ui, std::move(options))
        , subscription(core.Subscribe(face))
    {
        core.LoadSettings();
    }

    TscriptedUi ui;
    TrecordingFace face;
    TdmMain core;
    TcoreSubscription subscription;
};
