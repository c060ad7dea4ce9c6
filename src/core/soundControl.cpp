#include "core/soundControl.h"

#include "library/mp3JukeBoxLists.h"
#include "library/tagAlbum.h"
#include "library/taggerQueue.h"
#include "platform/iniFile.h"
#include "platform/raiseEvent.h"
#include "playback/crossPlayer.h"

#include <QTimer>
#include <algorithm>

namespace {

const QString kSection = QStringLiteral("CrossFader");

} // namespace

TsoundSettings ReadSoundSettings(const TiniFile &ini)
{
    const TsoundSettings defaults;
    TsoundSettings s;
    s.GainMode = TgainMode(
        std::clamp(ini.ReadInteger(kSection, QStringLiteral("GainMode"), defaults.GainMode), int(gmOff), int(gmAuto)));
    s.TargetLoudness
        = std::clamp(ini.ReadInteger(kSection, QStringLiteral("TargetLoudness"), defaults.TargetLoudness), -30, -10);
    s.PreAmp = std::clamp(ini.ReadInteger(kSection, QStringLiteral("PreAmp"), defaults.PreAmp), -12, 12);
    s.Gapless = ini.ReadBool(kSection, QStringLiteral("Gapless"), defaults.Gapless);
    s.FadesMeetMusic = ini.ReadBool(kSection, QStringLiteral("FadesMeetMusic"), defaults.FadesMeetMusic);
    return s;
}

void WriteSoundSettings(TiniFile &ini, const TsoundSettings &s)
{
    ini.WriteInteger(kSection, QStringLiteral("GainMode"), s.GainMode);
    ini.WriteInteger(kSection, QStringLiteral("TargetLoudness"), s.TargetLoudness);
    ini.WriteInteger(kSection, QStringLiteral("PreAmp"), s.PreAmp);
    ini.WriteBool(kSection, QStringLiteral("Gapless"), s.Gapless);
    ini.WriteBool(kSection, QStringLiteral("FadesMeetMusic"), s.FadesMeetMusic);
}

TsoundControl::TsoundControl(
    TcrossPlayer &player, Tmp3JukeBoxLists &library, TtaggerQueue &queue, const QString &dataFolder)
    : m_player(player)
    , m_library(library)
    , m_queue(queue)
    , m_analyser(m_store, dataFolder + QLatin1Char('/') + QLatin1String(kStoreName))
{
    m_store.Load(dataFolder + QLatin1Char('/') + QLatin1String(kStoreName));
    m_analyser.OnProgress = [this] {
        RaiseEvent(OnAnalysisProgress);
    };
    m_planner.AlbumTracks = [this](const TcustomTagger &track) { return albumTracks(track); };
    m_planner.UpcomingTrack
        = [this]() -> const TcustomTagger * { return m_queue.Count() > 0 ? m_queue.Items(0) : nullptr; };
    m_planner.WantMeasured = [this](const QStringList &files) {
        if (m_analysisEnabled)
            m_analyser.Prefer(files);
    };
    m_player.OnPlanTrack = [this](TcrossPlayer *, TcustomTagger *track, const TcustomTagger *previous) {
        return m_planner.Plan(*track, previous);
    };
}

TsoundControl::~TsoundControl()
{
    m_player.OnPlanTrack = nullptr;
}

void TsoundControl::SetSettings(const TsoundSettings &settings)
{
    m_planner.Settings() = settings;
    applyAnalysis();
}

void TsoundControl::SetAnalysisEnabled(bool enabled)
{
    m_analysisEnabled = enabled;
    applyAnalysis();
}

void TsoundControl::ReadSettings(const TiniFile &ini)
{
    m_planner.Settings() = ReadSoundSettings(ini);
    m_analysisEnabled = ini.ReadBool(kSection, QStringLiteral("MeasureLoudness"), true);
    applyAnalysis();
}

void TsoundControl::WriteSettings(TiniFile &ini) const
{
    WriteSoundSettings(ini, m_planner.Settings());
    ini.WriteBool(kSection, QStringLiteral("MeasureLoudness"), m_analysisEnabled);
}

void TsoundControl::LibraryLoaded()
{
    TpathList files;
    const TtaggerList &master = m_library.MasterList();
    files.Reserve(master.Count());
    for (int i = 0; i < master.Count(); ++i)
        files.Append(master.Items(i)->Folder(), master.Items(i)->NameInFolder());
    m_analyser.SetFiles(std::move(files));
    if (!m_libraryLoaded) {
        m_libraryLoaded = true;
        QTimer::singleShot(kAnalysisDelayMs, &m_context, [this] {
            m_analysisDue = true;
            applyAnalysis();
        });
    }
}

void TsoundControl::LibraryChanged(const TlibraryChanges &changes)
{
    // A moved file keeps its sound but not its place in the store, which is
    // by path.
    QStringList files;
    for (const auto *records : {&changes.added, &changes.changed})
        for (const TtaggerRef &record : *records)
            files.append(record->Filename());
    for (const TrecordMove &move : changes.moved)
        files.append(move.record->Filename());
    m_analyser.Append(files);
}

void TsoundControl::applyAnalysis()
{
    const bool wanted = m_analysisDue && m_analysisEnabled && Settings().NeedsMeasuring();
    if (wanted == m_analyser.Running())
        return;
    if (wanted)
        m_analyser.Start();
    else
        m_analyser.Stop();
    RaiseEvent(OnAnalysisProgress);
}

std::vector<const TcustomTagger *> TsoundControl::albumTracks(const TcustomTagger &track) const
{
    std::vector<const TcustomTagger *> tracks;
    if (const TtagAlbum *album = m_library.AlbumList().AlbumOf(track)) {
        for (int i = 0; i < album->Count(); ++i)
            tracks.push_back(album->Items(i));
    }
    return tracks;
}
