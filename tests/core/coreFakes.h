#pragma once

#include "core/playerForm.h"
#include "core/userInterface.h"
#include "metadata/customTagger.h"
#include "playback/vorlenStream.h"

#include <QStringList>
#include <deque>

// A main window that records every notification the core sends it.
class TrecordingForm : public TvorlenPlayerFormInterface {
public:
    void DoStartup() override { log << QStringLiteral("DoStartup"); }
    void LibraryChanging() override {}
    void ListsUpdated() override { log << QStringLiteral("ListsUpdated"); }
    void PositionChanged(TvorlenStream *) override { ++positions; }
    void QueueChanged() override { log << QStringLiteral("QueueChanged"); }
    void PlayStateChanged(int state) override { log << QStringLiteral("PlayStateChanged %1").arg(state); }
    void TrackChanged(TvorlenStream *stream) override
    {
        log << QStringLiteral("TrackChanged");
        tracks << (stream && stream->Track() ? stream->Track()->Title() : QString());
    }
    void StackerChanged() override { log << QStringLiteral("StackerChanged"); }
    void PlaylistChanged() override { log << QStringLiteral("PlaylistChanged"); }
    void LoadSettings(TiniFile &) override { log << QStringLiteral("LoadSettings"); }
    void SaveSettings(TiniFile &) override { log << QStringLiteral("SaveSettings"); }
    void VolumeChanged() override { log << QStringLiteral("VolumeChanged"); }
    void TreeFontChanged() override { log << QStringLiteral("TreeFontChanged"); }
    void VisTimer() override { ++visTicks; }
    void PlaylistsLoaded() override { log << QStringLiteral("PlaylistsLoaded"); }

    int count(const QString &entry) const { return int(log.count(entry)); }

    QStringList log;
    QStringList tracks;
    int positions = 0;
    int visTicks = 0;
};

// Dialogs that answer from a script and record what they were asked.
class TscriptedUi : public TcoreUserInterface {
public:
    void ShowMessage(const QString &text, const QString &caption, TmessageIcon) override
    {
        messages << caption + QStringLiteral(": ") + text;
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
    QStringList ChooseMusicFiles(const QString &) override { return files; }
    TtagAlbum *ChooseAlbum() override { return album; }
    void ShowWindow(TcoreWindow window) override { windows.push_back(window); }

    QStringList messages;
    QStringList questions;
    std::deque<bool> answers;
    QStringList files;
    TtagAlbum *album = nullptr;
    std::vector<TcoreWindow> windows;
};
