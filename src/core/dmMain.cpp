#include "core/dmMain.h"

#include "core/playerForm.h"
#include "core/soundControl.h"
#include "library/tagAlbum.h"
#include "library/tagAlbumList.h"
#include "library/tagPlaylist.h"
#include "metadata/embeddedCover.h"
#include "platform/fileExists.h"
#include "platform/iniFile.h"
#include "platform/pendingEvents.h"
#include "platform/vorlenError.h"
#include "playback/audioMixer.h"
#include "playback/crossPlayer.h"
#include "playback/threadedTimer.h"
#include "playback/vorlenStream.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <unordered_set>

namespace {

const QString kCouldNotLocateText = QStringLiteral(
    "The requested/chosen file could not be located.\n"
    "A CD may have been removed, or files may have been changed or deleted.\n"
    "Make sure all network connections are working,\n"
    "or rescan your PC for music files (File->Scan Folders)");

bool exists(const TcustomTagger *record)
{
    return record && QuietFileExists(record->Filename());
}

} // namespace

TdmMain::TdmMain(TvorlenPlayerFormInterface &form, TcoreUserInterface &ui, TdmMainOptions options)
    : m_form(form), m_ui(ui), m_options(std::move(options)), m_folders(m_options.folders)
{
    const QString manual = m_folders.docFolder() + QStringLiteral("/index.html");
    if (QuietFileExists(manual))
        m_helpFile = manual;

    m_queue.SetDisplayType(tdQueue);
    m_queue.SetReadFrameHeaders(false);
    m_queue.SetId3WriteType(wtBoth);
    m_queue.OnChange = [this](TComponent *) { m_form.QueueChanged(); };
    m_files.SetDisplayType(tdTitle);
    m_files.SetReadFrameHeaders(true);
    m_files.SetKeepUntagged(false);
    m_files.SetFreeOnDestroy(true);
    m_files.SetSortType(tsNone);
    m_files.SetId3WriteType(wtBoth);
    m_library.OnListsChanging = [this](TComponent *) { m_form.LibraryChanging(); };
    m_library.OnListsUpdated = [this](TComponent *) { m_form.ListsUpdated(); };
    m_library.OnPlayListChange = [this](TComponent *) { m_form.PlaylistChanged(); };

    m_player = std::make_unique<TcrossPlayer>(m_options.engine);
    m_player->OnPlaying = [this](TcrossPlayer *, TvorlenStream *stream) { m_form.PositionChanged(stream); };
    m_player->OnStateChange = [this](TcrossPlayer *player) { m_form.PlayStateChanged(player->GetState()); };
    m_player->OnTrackStart = [this](TcrossPlayer *player, TvorlenStream *) { m_form.TrackChanged(player->CurrentStream()); };
    m_player->OnNeedTrack = [this](TcrossPlayer *, TtaggerRef &track) { ChooseNextTrack(track); };

    // The core's own values until the settings file replaces them.
    m_settings.FadeInFromVolume = 0;
    m_settings.FadeOutToVolume = 0;
    m_settings.FadeOutTime = 6000;
    m_settings.FadeInTime = 4000;

    QDir().mkpath(DataFolder());
    m_sound = std::make_unique<TsoundControl>(*m_player, m_library, m_queue, DataFolder());
    m_sound->OnAnalysisProgress = [this] {
        const TloudnessAnalyser::Progress progress = m_sound->AnalysisProgress();
        m_form.AnalysisProgress(progress.done, progress.total, progress.running);
    };
    m_stacker = std::make_unique<TcdStacker>(DataFolder());
    m_stacker->OnChange = [this] { m_form.StackerChanged(); };

    m_mixer = std::make_unique<TAudioMixer>();
    m_mixer->OnControlChange = [this](int, int) { m_form.VolumeChanged(); };
    m_visTimer = std::make_unique<TThreadedTimer>();
    m_visTimer->SetEnabled(false);
    m_visTimer->SetInterval(25);
    m_visTimer->SetOnTimer([this](QObject *) { m_form.VisTimer(); });

    m_form.OnStartup = [this] { StartUp(); };
    m_form.OnClosed = [this] { SaveSettings(); };

    applyFadeSettings();
    LoadSettings();
    m_library.LoadedPlaylist().SetDisplayType(tdArtistTitle);
    m_library.PlaylistCollection().SetDisplayTypeAll(tdArtistTitle);
}

TdmMain::~TdmMain()
{
    m_form.OnStartup = nullptr;
    m_form.OnClosed = nullptr;
    m_visTimer.reset();
    // The player goes first: its streams stop before the records they play
    // are freed with the lists.
    m_player.reset();
    m_sound.reset();
    m_queue.OnChange = nullptr;
    m_library.OnListsChanging = nullptr;
    m_library.OnListsUpdated = nullptr;
    m_library.OnPlayListChange = nullptr;
    m_stacker->OnChange = nullptr;
}

bool TdmMain::SoundOutputOpen() const
{
    return m_player->EngineOpen();
}

QString TdmMain::SoundOutputError() const
{
    return m_player->EngineError();
}

// --- settings ---------------------------------------------------------------

void TdmMain::LoadSettings()
{
    try {
        const QString fileName = m_folders.settingsFile();
        const QFileInfo info(fileName);
        if (info.exists() && (!info.isFile() || !info.isReadable()))
            throw VorlenError(QStringLiteral("cannot read ") + fileName);
        TiniFile ini(fileName);
        const TcoreSettings read = ReadCoreSettings(ini, m_folders.home);
        m_settings.DirList = read.DirList;
        m_settings.MasterVolume = read.MasterVolume;
        if (m_mixer->DevicePresent())
            m_mixer->SetMasterVolume(read.MasterVolume);
        m_settings.ShowTips = read.ShowTips;
        m_settings.TipNo = read.TipNo;
        m_settings.NoTrackNumbers = read.NoTrackNumbers;
        m_library.SetDontUseTrackNumbers(read.NoTrackNumbers);
        m_settings.StackerEnabled = read.StackerEnabled;
        SetFadeInTime(read.FadeInTime);
        SetFadeOutTime(read.FadeOutTime);
        SetFadeInFromVolume(read.FadeInFromVolume);
        SetFadeOutToVolume(read.FadeOutToVolume);
        m_sound->ReadSettings(ini);
        m_settings.PlaylistFolder = read.PlaylistFolder;
        m_settings.CartridgeFolder = read.CartridgeFolder;
        m_settings.Genres = read.Genres;
        m_settings.MusicFolder = read.MusicFolder;
        m_settings.CoverArtFolder = read.CoverArtFolder;
        if (OnLoadSearchSettings)
            OnLoadSearchSettings(ini);
        m_form.LoadSettings(ini);
        m_stacker->LoadFiles();
        m_library.PlaylistCollection().LoadIndex(m_folders.playlistIndexFile(), DataFolder(), false);
        m_form.PlaylistsLoaded();
    } catch (const std::exception &) {
        m_ui.ShowMessage(QStringLiteral("Error loading settings files."), QStringLiteral("File Read Error"),
                         TmessageIcon::Exclamation);
    }
}

void TdmMain::SaveSettings()
{
    try {
        TiniFile ini(m_folders.settingsFile());
        m_settings.MasterVolume = GetMasterVolume();
        WriteCoreSettings(ini, m_settings);
        m_sound->WriteSettings(ini);
        if (OnSaveSearchSettings)
            OnSaveSearchSettings(ini);
        m_form.SaveSettings(ini);
        QString error;
        if (!ini.UpdateFile(&error))
            throw VorlenError(error);
        if (!m_library.PlaylistCollection().SaveIndex(m_folders.playlistIndexFile(), DataFolder()))
            throw VorlenError(m_folders.playlistIndexFile());
        if (!m_stacker->SaveFiles())
            throw VorlenError(DataFolder());
    } catch (const std::exception &) {
        m_ui.ShowMessage(QStringLiteral("Error writing settings files."), QStringLiteral("File Write Error"),
                         TmessageIcon::Exclamation);
    }
}

// --- start-up and the library ----------------------------------------------

void TdmMain::StartUp()
{
    m_form.PlayStateChanged(m_player->GetState());
    LoadLibrary();
    if (m_settings.ShowTips)
        m_ui.ShowWindow(TcoreWindow::TipOfTheDay);
}

QString TdmMain::cdCacheFile(const CdDrive &drive) const
{
    const QString serial = m_options.volumeSerial(drive.device);
    if (serial.isEmpty())
        return QString();
    return DataFolder() + QLatin1Char('/') + serial + QStringLiteral(".dat");
}

void TdmMain::LoadLibrary()
{
    ProcessPendingEvents();
    m_library.Clear();
    m_discRecords.clear();
    TtaggerList &master = m_library.MasterList();
    master.LoadListFile(DataFolder() + QStringLiteral("/jukebox.dat"), false);
    for (const CdDrive &drive : m_options.cdDrives()) {
        if (!QuietFolderExists(drive.mountPoint))
            continue;
        const QString cache = cdCacheFile(drive);
        if (cache.isEmpty() || !QuietFileExists(cache))
            continue;
        const int before = master.Count();
        master.LoadListFile(cache, true, drive.mountPoint);
        for (int i = before; i < master.Count(); ++i)
            m_discRecords.push_back(master.Items(i));
    }
    m_sound->LibraryLoaded();
}

void TdmMain::scanDisc(const CdDrive &drive, const QString &cacheFile)
{
    m_library.Clear();
    m_discRecords.clear();
    m_library.MasterList().ScanFolder(drive.mountPoint, true, cacheFile, false);
}

void TdmMain::CheckCDs(const QString &driveMountPoint, bool autoScan)
{
    for (const CdDrive &drive : m_options.cdDrives()) {
        if (!driveMountPoint.isEmpty() && drive.mountPoint != driveMountPoint)
            continue;
        if (!QuietFolderExists(drive.mountPoint))
            continue;
        const QString cache = cdCacheFile(drive);
        if (cache.isEmpty())
            continue;
        if (QuietFileExists(cache) && driveMountPoint.isEmpty())
            continue;
        const bool scan = autoScan
                          || m_ui.AskYesNo(QStringLiteral("The CD in drive ") + drive.mountPoint
                                               + QStringLiteral(" has not been scanned before.\n\n"
                                                                "Do you wish to scan it for Mp3 files?"),
                                           QStringLiteral("New CD"));
        if (scan)
            scanDisc(drive, cache);
    }
}

void TdmMain::RefreshCDs()
{
    m_library.SuspendRebuild();
    CheckCDs(QString(), false);
    LoadLibrary();
    m_library.ResumeRebuild();
}

bool TdmMain::saveLibraryCache()
{
    // Disc tracks live in their disc caches; jukebox.dat holds the music
    // folders only, or every save would duplicate the discs at the next load.
    const std::unordered_set<const TcustomTagger *> disc(m_discRecords.begin(), m_discRecords.end());
    TtaggerList folders;
    folders.SetFreeOnDestroy(false);
    for (TcustomTagger *record : m_library.MasterList().Records())
        if (!disc.count(record))
            folders.Add(record);
    return folders.SaveListFile(DataFolder() + QStringLiteral("/jukebox.dat"));
}

void TdmMain::AddScannedFiles(const QStringList &newFiles, bool removeMissing)
{
    m_library.SuspendRebuild();
    TtaggerList &master = m_library.MasterList();
    if (removeMissing) {
        master.BeginUpdate();
        for (int i = master.Count() - 1; i >= 0; --i) {
            const TcustomTagger *record = master.Items(i);
            if (!QuietFileExists(record->Filename())) {
                std::erase(m_discRecords, record);
                master.Delete(i);
            }
        }
        master.EndUpdate();
    }
    master.AddFileList(newFiles, true, true);
    if (!saveLibraryCache())
        m_ui.ShowMessage(QStringLiteral("Error writing settings files."), QStringLiteral("File Write Error"),
                         TmessageIcon::Exclamation);
    CheckCDs(QString(), true);
    LoadLibrary();
    m_library.ResumeRebuild();
}

void TdmMain::RemoveTracks(const std::function<bool(const TcustomTagger &)> &remove)
{
    m_library.SuspendRebuild();
    TtaggerList &master = m_library.MasterList();
    for (int i = master.Count() - 1; i >= 0; --i) {
        const TcustomTagger *record = master.Items(i);
        if (remove(*record)) {
            std::erase(m_discRecords, record);
            master.Delete(i);
        }
    }
    m_library.ResumeRebuild();
}

void TdmMain::ClearLibrary()
{
    m_library.SuspendRebuild();
    m_library.Clear();
    m_discRecords.clear();
    m_library.ResumeRebuild();
}

QString TdmMain::FindCover() const
{
    if (m_player->GetState() == ssStopped)
        return QString();
    const TcustomTagger *record = m_player->CurrentTrack();
    if (!record || !record->ValidTag())
        return QString();
    const QString artist = record->Artist();
    const QString album = record->Album();
    const QStringList names{artist + QStringLiteral(" - ") + album, album + QStringLiteral(" - ") + artist,
                            artist + QStringLiteral(" - (") + album + QLatin1Char(')'),
                            album + QStringLiteral(" - (") + artist + QLatin1Char(')')};
    const QString ownFolder = QFileInfo(record->Filename()).path();
    for (const QString &name : names) {
        for (const QString &folder : {m_settings.CoverArtFolder, ownFolder}) {
            for (const char *extension : {".jpg", ".bmp"}) {
                const QString candidate = folder + QLatin1Char('/') + name + QLatin1String(extension);
                if (QuietFileExists(candidate))
                    return candidate;
            }
        }
    }
    return QString();
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

// --- playing -------------------------------------------------------------

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
}

void TdmMain::Skip()
{
    const quint8 state = m_player->GetState();
    if (state != ssLoading && state != ssStopping)
        m_player->Next();
}

TtaggerRef TdmMain::libraryTrack()
{
    constexpr int kPicks = 8;
    for (int pick = 0; pick < kPicks; ++pick) {
        TtaggerRef record(m_library.NextTrack());
        if (!record || exists(record.get()))
            return record;
    }
    return TtaggerRef();
}

void TdmMain::ChooseNextTrack(TtaggerRef &track)
{
    TtaggerRef record = m_queue.Pop();
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
        track = std::move(record);
        return;
    }
    // The player asks from its timer tick: a box that waited for the user
    // here would stop the jukebox until somebody clicked it.
    m_ui.ShowNotice(kCouldNotLocateText, QStringLiteral("Could not locate file"), TmessageIcon::Exclamation);
}

// --- queueing ------------------------------------------------------------

void TdmMain::QueueRecords(const std::vector<TcustomTagger *> &records)
{
    m_queue.BeginUpdate();
    for (TcustomTagger *record : records)
        m_queue.Add(record);
    m_queue.EndUpdate();
}

void TdmMain::QueueRecord(TcustomTagger *record)
{
    m_queue.Add(record);
}

void TdmMain::QueueFile(const QString &fileName)
{
    if (!QuietFileExists(fileName))
        return;
    if (TcustomTagger *record = m_files.AddFile(fileName))
        m_queue.Add(record);
}

void TdmMain::QueueFiles()
{
    for (const QString &fileName : m_ui.ChooseMusicFiles(QString::fromLatin1(kMusicFileFilter)))
        QueueFile(fileName);
}

void TdmMain::QueueAlbum()
{
    if (TtagAlbum *album = m_ui.ChooseAlbum())
        m_queue.AddExisting(*album);
}

// --- stacker -------------------------------------------------------------

QString TdmMain::StackerTitle()
{
    return m_stacker->Title(m_settings.StackerEnabled, m_stackerAlbum);
}

// --- volume, fades, visualisation -----------------------------------------

int TdmMain::GetMasterVolume() const
{
    return m_mixer->MasterVolume();
}

void TdmMain::SetMasterVolume(int value)
{
    m_mixer->SetMasterVolume(value);
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

void TdmMain::SetVisualisation(bool on)
{
    m_visTimer->SetEnabled(on);
    AudioEngine &engine = m_player->Engine();
    engine.dspSetActive(engine.fftUnit(), on);
}

bool TdmMain::GetVisualisation() const
{
    return m_visTimer->Enabled();
}

// --- playlists -----------------------------------------------------------

void TdmMain::ActivatePlaylist(const QString &name)
{
    m_library.PlaylistCollection().Activate(name);
}

void TdmMain::DeactivatePlaylists()
{
    m_library.LoadedPlaylist().Clear();
    m_library.PlaylistCollection().SetActive(false);
}

bool TdmMain::ApplyPlaylistRule(TplaylistRule rule, const QString &m3uFile, bool randomOrder,
                                const QStringList &genres)
{
    TtagPlaylist &loaded = m_library.LoadedPlaylist();
    switch (rule) {
    case prNone:
        loaded.Clear();
        return true;
    case prM3uFile: {
        TtagPlaylist fresh;
        fresh.SetReadFrameHeaders(loaded.ReadFrameHeaders());
        if (QuietFileExists(m3uFile))
            fresh.LoadPlaylist(m3uFile, false, DataFolder());
        if (fresh.Count() == 0)
            return false;
        loaded.ResetPosition();
        loaded.SetRandomise(randomOrder);
        loaded.ReplaceRecords(fresh);
        return true;
    }
    case prGenres: {
        QList<quint8> numbers;
        for (const QString &name : genres)
            numbers.append(m_genreList.IndexOfGenre(name));
        m_library.FillLoadedPlaylistByGenres(numbers);
        SetGenres(genres);
        return true;
    }
    }
    return false;
}

void TdmMain::CopyToJukebox(const TcustomTaggerList &editing)
{
    m_library.LoadedPlaylist().AssignPlaylist(editing);
}

void TdmMain::CopyFromJukebox(TcustomTaggerList &editing)
{
    editing.AssignPlaylist(m_library.LoadedPlaylist());
}

TtagPlaylist *TdmMain::AddPreloadedPlaylist(const QString &name, const QString &m3uFile, bool autoCounterReset,
                                            bool loop)
{
    TtagPlayListCollection &collection = m_library.PlaylistCollection();
    if (name.isEmpty() || collection.Find(name) || !QuietFileExists(m3uFile))
        return nullptr;
    TtagPlaylist *playlist = collection.AddFromFile(name, m3uFile);
    if (playlist) {
        playlist->SetAutoCounterReset(autoCounterReset);
        playlist->SetStopAtEnd(!loop);
    }
    return playlist;
}

void TdmMain::UpdatePreloadedPlaylist(int index, bool autoCounterReset, bool loop)
{
    if (TtagPlaylist *playlist = m_library.PlaylistCollection().Playlists(index)) {
        playlist->SetAutoCounterReset(autoCounterReset);
        playlist->SetStopAtEnd(!loop);
    }
}

void TdmMain::DeletePreloadedPlaylist(int index)
{
    m_library.PlaylistCollection().Delete(index);
}

bool TdmMain::ReloadPreloadedPlaylist(int index, const QString &m3uFile, bool autoCounterReset, bool loop)
{
    TtagPlaylist *playlist = m_library.PlaylistCollection().Playlists(index);
    if (!playlist || !playlist->ReloadFromM3U(m3uFile))
        return false;
    playlist->SetAutoCounterReset(autoCounterReset);
    playlist->SetStopAtEnd(!loop);
    return true;
}

void TdmMain::PlaylistsEdited()
{
    m_form.PlaylistsLoaded();
}

void TdmMain::SetTreeFont(const TtreeFont &font)
{
    if (font == m_treeFont)
        return;
    m_treeFont = font;
    m_form.TreeFontChanged();
}

void TdmMain::SetTreeFontLarge(const TtreeFont &font)
{
    if (font == m_treeFontLarge)
        return;
    m_treeFontLarge = font;
    m_form.TreeFontChanged();
}

void TdmMain::ShowWindow(TcoreWindow window)
{
    m_ui.ShowWindow(window);
}
