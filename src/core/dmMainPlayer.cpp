// The core's player: playing, what plays and its cover, the next-track
// choice, the volume, the fades and the visualisation.
#include "core/dmMain.h"

#include "core/coverFiles.h"
#include "core/soundControl.h"
#include "metadata/embeddedCover.h"
#include "platform/fileExists.h"
#include "playback/audioMixer.h"
#include "playback/crossPlayer.h"
#include "playback/threadedTimer.h"
#include "playback/tinyVisLoader.h"
#include "playback/vorlenStream.h"

namespace {

const QString kCouldNotLocateText
    = QStringLiteral("The requested/chosen file could not be located.\n"
                     "A CD may have been removed, or files may have been changed or deleted.\n"
                     "Make sure all network connections are working,\n"
                     "or rescan your PC for music files (File->Scan Folders)");

bool exists(const TcustomTagger *record)
{
    return record && !record->Unavailable() && QuietFileExists(record->Filename());
}

} // namespace

void TdmMain::Play()
{
    m_player->Play();
}

void TdmMain::Pause()
{
    m_player->TogglePause();
}

void TdmMain::Stop()
{
    m_player->StopAll();
    // Said at once, not at the player's next tick: until then a face would
    // show, and a guest would be told of, a track that no longer plays.
    trackEnded();
}

void TdmMain::Skip()
{
    const quint8 state = m_player->GetState();
    if (state != ssLoading)
        m_player->Next();
}

TstreamState TdmMain::PlayState() const
{
    return TstreamState(m_player->GetState());
}

const TvorlenStream *TdmMain::PlayingStream() const
{
    const TstreamState state = PlayState();
    return state == ssPlaying || state == ssPaused ? m_player->CurrentStream() : nullptr;
}

void TdmMain::Seek(qint64 ms)
{
    if (!PlayingStream())
        return;
    m_player->Seek(ms);
    m_listeners.Raise(&TcoreListener::PositionJumped, ms);
}

void TdmMain::trackStarted()
{
    const TvorlenStream *stream = m_player->CurrentStream();
    m_nowPlaying.stream = stream;
    m_nowPlaying.track = TtaggerRef(stream ? stream->Track() : nullptr);
    m_nowPlaying.coverFile = coverFileOfCurrentTrack();
    m_party->TrackStarted(m_nowPlaying.track.get());
    m_listeners.Raise(&TcoreListener::TrackChanged, std::as_const(m_nowPlaying));
}

void TdmMain::trackEnded()
{
    if (!m_nowPlaying.stream && !m_nowPlaying.track)
        return;
    m_nowPlaying = TnowPlaying();
    m_listeners.Raise(&TcoreListener::TrackChanged, std::as_const(m_nowPlaying));
}

QString TdmMain::coverFileOfCurrentTrack() const
{
    const QString file = FindCover();
    if (!file.isEmpty())
        return file;
    const QByteArray embedded = EmbeddedCover();
    return embedded.isEmpty() ? QString() : StoreEmbeddedCover(DataFolder() + QStringLiteral("/covers"), embedded);
}

QString TdmMain::FindCover() const
{
    if (m_player->GetState() == ssStopped)
        return QString();
    const TcustomTagger *record = m_player->CurrentTrack();
    return record ? FindCoverFile(*record, m_settings.CoverArtFolder) : QString();
}

QByteArray TdmMain::EmbeddedCover() const
{
    if (m_player->GetState() == ssStopped)
        return QByteArray();
    const TcustomTagger *record = m_player->CurrentTrack();
    if (!record)
        return QByteArray();
    return ReadEmbeddedCover(record->Filename()).data;
}

TtaggerRef TdmMain::libraryTrack()
{
    constexpr int kPicks = 8;
    // Tracks out of reach (their drive is gone) are passed by without a look
    // at their files and count as no pick: a library whose drive is away
    // still plays what is left. Two rounds of the random order find any
    // track within reach, wherever the first round began.
    const int passable = 2 * m_library.MasterList().Count();
    int passed = 0;
    for (int pick = 0; pick < kPicks;) {
        TtaggerRef record(m_library.NextTrack());
        if (record && record->Unavailable() && ++passed <= passable)
            continue;
        if (!record || exists(record.get()))
            return record;
        ++pick;
    }
    return TtaggerRef();
}

void TdmMain::ChooseNextTrack(TtaggerRef &track)
{
    TqueueRequester requester;
    TtaggerRef record = m_queue.Pop(&requester);
    const TcustomTagger *queued = record.get();
    m_stackerAlbum.clear();
    if (!exists(record.get())) {
        if (m_settings.StackerEnabled)
            record = TtaggerRef(m_stacker->Library().NextTrack());
        if (exists(record.get()))
            m_stackerAlbum = record->Album();
        else
            record = libraryTrack();
    }
    if (exists(record.get())) {
        m_party->TrackChosen(record.get(), record.get() == queued ? requester : TqueueRequester());
        track = std::move(record);
        return;
    }
    // The player asks from its timer tick: a box that waited for the user
    // here would stop the jukebox until somebody clicked it.
    m_ui.ShowNotice(kCouldNotLocateText, QStringLiteral("Could not locate file"), TmessageIcon::Exclamation);
}

// --- volume and fades --------------------------------------------------------

int TdmMain::GetMasterVolume() const
{
    return m_mixer->MasterVolume();
}

void TdmMain::SetMasterVolume(int value)
{
    m_mixer->SetMasterVolume(value);
    // The faces show the new volume at once, not only when the mixer reports
    // it (a mixer without a device never does).
    m_listeners.Raise(&TcoreListener::VolumeChanged);
}

void TdmMain::applyFadeSettings()
{
    m_player->SetFadeInTime(m_settings.FadeInTime);
    m_player->SetFadeOutTime(m_settings.FadeOutTime);
    m_player->SetFadeInFromVolume(quint8(m_settings.FadeInFromVolume));
    m_player->SetFadeOutToVolume(quint8(m_settings.FadeOutToVolume));
}

void TdmMain::SetFadeInTime(int value)
{
    m_settings.FadeInTime = value;
    applyFadeSettings();
}

void TdmMain::SetFadeOutTime(int value)
{
    m_settings.FadeOutTime = value;
    applyFadeSettings();
}

void TdmMain::SetFadeInFromVolume(int value)
{
    m_settings.FadeInFromVolume = ByteSetting(value);
    applyFadeSettings();
}

void TdmMain::SetFadeOutToVolume(int value)
{
    m_settings.FadeOutToVolume = ByteSetting(value);
    applyFadeSettings();
}

void TdmMain::SetSoundSettings(const TsoundSettings &settings)
{
    m_sound->SetSettings(settings);
}

void TdmMain::SetLoudnessAnalysis(bool enabled)
{
    m_sound->SetAnalysisEnabled(enabled);
}

// --- visualisation ---------------------------------------------------------

void TdmMain::SetVisualisation(bool on, TvisSurface *surface)
{
    m_visTimer->SetEnabled(on);
    AudioEngine &engine = m_player->Engine();
    engine.dspSetActive(engine.fftUnit(), on);
    if (!on) {
        m_visLoader->Stop();
        return;
    }
    if (!surface)
        return;
    m_visLoader->SetLibrary(PluginsFolder() + QStringLiteral("/tinyvis.so"));
    if (m_visLoader->LibraryLoaded() && !m_visLoader->Modules().isEmpty()) {
        m_visLoader->SelectModule(0);
        m_visLoader->Start(surface);
    }
}

bool TdmMain::GetVisualisation() const
{
    return m_visTimer->Enabled();
}

bool TdmMain::VisualisationRunning() const
{
    return m_visLoader->Active();
}

void TdmMain::ConfigureVisualisation()
{
    if (m_visLoader->Active())
        m_visLoader->Configure();
}
