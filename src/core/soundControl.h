#pragma once

#include "playback/loudnessAnalyser.h"
#include "playback/loudnessStore.h"
#include "playback/soundPlanner.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class TcrossPlayer;
struct TlibraryChanges;
class TiniFile;
class TtaggerQueue;
class Tmp3JukeBoxLists;

// How the tracks sound and meet: the loudness measurements (their store in
// the data folder and the analyser that fills it from the library), the plan
// of each track the player is given, and the settings that rule both (kept
// in the CrossFader section of vorlen.ini beside the fade settings).
//
// Owned by the application core, which it outlives no longer than the
// player it hooks. GUI thread only.
class TsoundControl {
public:
    // The data folder's file of measurements.
    static constexpr const char *kStoreName = "loudness.dat";
    // The analyser starts this long after the library is loaded, so that
    // the start-up itself is not slowed.
    static constexpr int kAnalysisDelayMs = 3000;

    TsoundControl(TcrossPlayer &player, Tmp3JukeBoxLists &library, TtaggerQueue &queue, const QString &dataFolder);
    ~TsoundControl();
    TsoundControl(const TsoundControl &) = delete;
    TsoundControl &operator=(const TsoundControl &) = delete;

    const TsoundSettings &Settings() const { return m_planner.Settings(); }
    void SetSettings(const TsoundSettings &settings);
    // Whether the listener lets the library be measured in the background.
    bool AnalysisEnabled() const { return m_analysisEnabled; }
    void SetAnalysisEnabled(bool enabled);

    void ReadSettings(const TiniFile &ini);
    void WriteSettings(TiniFile &ini) const;

    // The library was loaded or changed: its files are measured (once the
    // settings call for it), the ones not measured yet.
    void LibraryLoaded();
    // The library changed in part: its new and rewritten files are measured
    // with the rest.
    void LibraryChanged(const TlibraryChanges &changes);
    TloudnessAnalyser::Progress AnalysisProgress() const { return m_analyser.GetProgress(); }
    const TloudnessStore &Store() const { return m_store; }

    // The analysis moved on (done, total, running).
    std::function<void()> OnAnalysisProgress;

private:
    // Runs the analyser when the settings and the listener ask for it.
    void applyAnalysis();
    std::vector<const TcustomTagger *> albumTracks(const TcustomTagger &track) const;

    TcrossPlayer &m_player;
    Tmp3JukeBoxLists &m_library;
    TtaggerQueue &m_queue;
    TloudnessStore m_store;
    TloudnessAnalyser m_analyser;
    TsoundPlanner m_planner { m_store };
    bool m_analysisEnabled = true;
    bool m_libraryLoaded = false;
    // The delay after the first loading of the library is over.
    bool m_analysisDue = false;
    // Owns the delayed start of the analysis.
    QObject m_context;
};

// The sound settings as vorlen.ini keeps them; missing and damaged values
// take the defaults (TsoundSettings), numbers out of range the nearest
// allowed: target loudness -30 .. -10 LUFS, pre-amp -12 .. +12 dB.
TsoundSettings ReadSoundSettings(const TiniFile &ini);
void WriteSoundSettings(TiniFile &ini, const TsoundSettings &settings);
