// The core's life: creation, the settings pass, start-up, and the library
// with its discs.
#include "core/dmMain.h"

#include "core/libraryCacheSave.h"
#include "core/libraryWatch.h"
#include "core/soundControl.h"
#include "library/tagAlbum.h"
#include "library/tagAlbumList.h"
#include "library/tagPlaylist.h"
#include "library/trackListFile.h"
#include "platform/atomicFile.h"
#include "platform/fileExists.h"
#include "platform/iniFile.h"
#include "playback/audioMixer.h"
#include "playback/crossPlayer.h"
#include "playback/threadedTimer.h"
#include "playback/tinyVisLoader.h"
#include "playback/vorlenStream.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <unordered_set>

TdmMain::TdmMain(TcoreUserInterface &ui, TdmMainOptions options)
    : m_ui(ui)
    , m_options(std::move(options))
    , m_folders(m_options.folders)
{
    m_party = std::make_unique<TguestRequests>(m_queue, m_options.clock);
    const QString manual = m_folders.docFolder() + QStringLiteral("/index.html");
    if (QuietFileExists(manual))
        m_helpFile = manual;

    m_queue.SetDisplayType(tdQueue);
    m_queue.SetReadFrameHeaders(false);
    m_queue.SetId3WriteType(wtBoth);
    m_files.SetDisplayType(tdTitle);
    m_files.SetReadFrameHeaders(true);
    m_files.SetKeepUntagged(false);
    m_files.SetFreeOnDestroy(true);
    m_files.SetSortType(tsNone);
    m_files.SetId3WriteType(wtBoth);

    m_player = std::make_unique<TcrossPlayer>(m_options.engine);
    // The core's own values until the settings file replaces them.
    m_settings.FadeInFromVolume = 0;
    m_settings.FadeOutToVolume = 0;
    m_settings.FadeOutTime = 6000;
    m_settings.FadeInTime = 4000;

    QDir().mkpath(DataFolder());
    m_sound = std::make_unique<TsoundControl>(*m_player, m_library, m_queue, DataFolder());
    m_sound->OnAnalysisProgress = [this] {
        const TloudnessAnalyser::Progress progress = m_sound->AnalysisProgress();
        m_listeners.Raise(&TcoreListener::LoudnessAnalysisProgress, progress.done, progress.total, progress.running);
    };
    m_stacker = std::make_unique<TcdStacker>(DataFolder());
    m_mixer = std::make_unique<TAudioMixer>();
    m_visTimer = std::make_unique<TThreadedTimer>();
    m_visTimer->SetEnabled(false);
    m_visTimer->SetInterval(25);
    m_visLoader = std::make_unique<TtinyVisLoader>(&m_player->Engine());
    m_visLoader->SetSettingsPath(PluginSettingsFolder());
    m_visLoader->CreateCaptureUnit();
    m_tips.OnShowDialog = [this](TtipDialogState &state) { return m_ui.ShowTipDialog(state); };
    startAlarmClock();
    m_watch = std::make_unique<TlibraryWatch>(m_library, m_ui);
    m_watch->SaveCache = [this] {
        QString error;
        if (saveLibraryCache(&error))
            return true;
        m_fileProblems.WriteFailed(TfileProblem{cacheFile(), error});
        return false;
    };
    m_scan = std::make_unique<TlibraryScan>(m_library, m_listeners);
    m_scan->OnCompleted = [this](TscanFindings &findings) { takeScanFindings(findings); };
    m_cacheSave = std::make_unique<TlibraryCacheSave>();
    m_cacheSave->OnSaved = [this](bool written, const QString &error) {
        if (written)
            return;
        m_fileProblems.WriteFailed(TfileProblem{cacheFile(), error});
        m_watch->SaveFailed();
    };
    m_watch->SaveCacheInBackground = [this] { m_cacheSave->Start(cacheRecords(), cacheFile()); };
    m_watch->OnRemoving = [this](const TcustomTagger &record) { std::erase(m_discRecords, &record); };

    hookComponents();
    applyFadeSettings();
    // The all-tracks view lists "Title - Artist".
    m_library.MasterList().SetDisplayType(tdTitleArtist);
    m_library.LoadedPlaylist().SetDisplayType(tdArtistTitle);
    m_library.PlaylistCollection().SetDisplayTypeAll(tdArtistTitle);
}

TdmMain::~TdmMain()
{
    m_scan.reset();
    m_cacheSave.reset();
    m_watch.reset();
    m_visTimer.reset();
    // The plug-in goes before the engine it captures from.
    m_visLoader.reset();
    // The player goes first: its streams stop before the records they play
    // are freed with the lists.
    // The sound control unhooks itself from the player, so it goes before.
    m_sound.reset();
    m_player.reset();
    m_queue.OnChange = nullptr;
    m_library.OnListsChanging = nullptr;
    m_library.OnListsUpdated = nullptr;
    m_library.OnLibraryChanged = nullptr;
    m_library.OnPlayListChange = nullptr;
    m_stacker->OnChanging = nullptr;
    m_stacker->OnChange = nullptr;
}

void TdmMain::hookComponents()
{
    using L = TcoreListener;
    m_queue.OnChange = [this](TComponent *) { m_listeners.Raise(&L::QueueChanged); };
    m_library.OnListsChanging = [this](TComponent *) { m_listeners.Raise(&L::LibraryChanging); };
    m_library.OnListsUpdated = [this](TComponent *) { m_listeners.Raise(&L::ListsUpdated); };
    m_library.OnLibraryChanged = [this](const TlibraryChanges &changes) {
        m_sound->LibraryChanged(changes);
        m_listeners.Raise(&L::LibraryChanged, changes);
    };
    m_library.OnPlayListChange = [this](TComponent *) { m_listeners.Raise(&L::PlaylistChanged); };
    hookProgress(m_library);
    m_player->OnPlaying = [this](TcrossPlayer *, TvorlenStream *stream) {
        if (stream)
            m_listeners.Raise(&L::PositionChanged, std::as_const(*stream));
    };
    m_player->OnStateChange = [this](TcrossPlayer *player) {
        const TstreamState state = TstreamState(player->GetState());
        m_listeners.Raise(&L::PlayStateChanged, state);
        // The player ran dry or its track ended: nothing plays any more.
        if (state == ssStopped)
            trackEnded();
    };
    m_player->OnTrackStart = [this](TcrossPlayer *, TvorlenStream *) { trackStarted(); };
    m_player->OnNeedTrack = [this](TcrossPlayer *, TtaggerRef &track) { ChooseNextTrack(track); };
    m_player->OnEngineOpen = [this](TcrossPlayer *) { soundOutputOpened(); };
    m_stacker->OnChanging = [this] { m_listeners.Raise(&L::StackerChanging); };
    m_stacker->OnChange = [this] { m_listeners.Raise(&L::StackerChanged); };
    hookProgress(m_stacker->Library());
    m_mixer->OnControlChange = [this](int, int) { m_listeners.Raise(&L::VolumeChanged); };
    m_visTimer->SetOnTimer([this](QObject *) {
        if (m_visLoader->Active())
            m_visLoader->Render();
        m_listeners.Raise(&L::VisTimer);
    });
}

void TdmMain::hookProgress(Tmp3JukeBoxLists &lists)
{
    using L = TcoreListener;
    lists.OnListProcessStart = [this](TComponent *, int count) {
        m_listeners.Raise(&L::TaskStarted, m_task, std::as_const(m_taskTitle), count);
    };
    lists.OnListProcess = [this](TComponent *, int index) { m_listeners.Raise(&L::TaskProgress, m_task, index); };
    lists.OnListProcessFinished = [this](TComponent *) { m_listeners.Raise(&L::TaskFinished, m_task); };
}

TdmMain::TtaskScope::TtaskScope(TdmMain &core, TcoreTask task, const QString &title)
    : m_core(core)
    , m_task(std::exchange(core.m_task, task))
    , m_title(std::exchange(core.m_taskTitle, title))
{
}

TdmMain::TtaskScope::~TtaskScope()
{
    m_core.m_task = m_task;
    m_core.m_taskTitle = m_title;
}

bool TdmMain::SoundOutputOpen() const
{
    return m_player->EngineOpen();
}

QString TdmMain::SoundOutputError() const
{
    return m_player->EngineError();
}

// The engine refused every DSP unit while it was closed: the visualisation,
// switched on or not meanwhile, gets its units now.
void TdmMain::soundOutputOpened()
{
    m_visLoader->CreateCaptureUnit();
    AudioEngine &engine = m_player->Engine();
    engine.dspSetActive(engine.fftUnit(), GetVisualisation());
}

// --- settings ---------------------------------------------------------------

void TdmMain::LoadSettings()
{
    // Told of at start-up, once the window is up (LoadLibrary).
    std::vector<TfileProblem> problems;
    try {
        const QString fileName = m_folders.settingsFile();
        TiniFile ini(fileName);
        if (const QString problem = SettingsFileProblem(ini); !problem.isEmpty())
            problems.push_back(TfileProblem{fileName, problem});
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
        m_settings.WatchFolders = read.WatchFolders;
        m_settings.MusicFolderOffered = read.MusicFolderOffered;
        m_party->SetSettings(ReadPartySettings(ini));
        m_listeners.Raise(&TcoreListener::PartyChanged);
        m_listeners.Raise(&TcoreListener::LoadSettings, ini);
        m_stacker->LoadFiles(&problems);
        m_library.PlaylistCollection().LoadIndex(m_folders.playlistIndexFile(), DataFolder(), false, &problems);
        m_listeners.Raise(&TcoreListener::PlaylistsLoaded);
    } catch (const std::exception &) {
        m_ui.ShowMessage(QStringLiteral("Error loading settings files."), QStringLiteral("File Read Error"),
                         TmessageIcon::Exclamation);
    }
    m_fileProblems.Damaged(problems);
}

void TdmMain::SaveSettings()
{
    // Every file is tried, whatever became of the others; the user hears of
    // each one that could not be written in one message.
    m_fileProblems.BeginSave();
    try {
        TiniFile ini(m_folders.settingsFile());
        // Without a mixer device the volume reads 0, which would silence
        // the next start that has one.
        if (m_mixer->DevicePresent())
            m_settings.MasterVolume = GetMasterVolume();
        WriteCoreSettings(ini, m_settings);
        WritePartySettings(ini, m_party->Settings());
        m_sound->WriteSettings(ini);
        m_listeners.Raise(&TcoreListener::SaveSettings, ini);
        QString error;
        if (!ini.UpdateFile(&error))
            m_fileProblems.WriteFailed(TfileProblem{ini.FileName(), error});
        std::vector<TfileProblem> failures;
        m_library.PlaylistCollection().SaveIndex(m_folders.playlistIndexFile(), DataFolder(), &failures);
        m_stacker->SaveFiles(&failures);
        m_fileProblems.WriteFailed(failures);
        m_watch->SaveIfChanged();
    } catch (const std::exception &error) {
        m_fileProblems.WriteFailed(TfileProblem{m_folders.settingsFile(), QString::fromUtf8(error.what())});
    }
    m_fileProblems.EndSave();
}

void TdmMain::ReportDamagedFile(const TfileProblem &problem)
{
    m_fileProblems.Damaged(problem);
    m_fileProblems.ShowReadNotice();
}

void TdmMain::ReportWriteFailure(const TfileProblem &problem)
{
    m_fileProblems.WriteFailed(problem);
}

void TdmMain::ReportEntriesNotFound(const QString &listFile, const TplaylistLoadReport &report, int found)
{
    m_fileProblems.ShowEntriesNotFound(listFile, report.notFound, found + int(report.notFound.size()));
}

// --- start-up and the library ----------------------------------------------

void TdmMain::StartUp()
{
    m_listeners.Raise(&TcoreListener::PlayStateChanged, PlayState());
    // Told once: the player keeps looking for an output and plays as soon as
    // it finds one, with nothing more to say.
    if (!m_player->EngineOpen())
        m_ui.ShowNotice(QStringLiteral("There is no sound output: %1\n"
                                       "The jukebox plays as soon as there is one (a sound server started, "
                                       "a sound device plugged in).")
                            .arg(m_player->EngineError()),
            QString::fromLatin1(kNoSoundOutputCaption), TmessageIcon::Exclamation);
    {
        const TtaskScope task(*this, TcoreTask::LibraryLoad, QStringLiteral("Loading the library"));
        LoadLibrary();
    }
    watchMusicFolders();
    // The tips begin by telling the user to set the music folders: beside
    // the offer to add one, they would say the opposite of it.
    const bool offered = offerDesktopMusicFolder();
    if (m_settings.ShowTips && !offered)
        m_ui.ShowWindow(TcoreWindow::TipOfTheDay);
    if (m_party->Settings().Enabled)
        m_ui.ShowWindow(TcoreWindow::PartyWindow);
}

void TdmMain::RequestQuit()
{
    m_listeners.Raise(&TcoreListener::QuitRequested);
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
    m_library.Clear();
    m_discRecords.clear();
    TtaggerList &master = m_library.MasterList();
    TlistFileReport report;
    const auto tell = [&](const QString &file) {
        if (!report.Problem().isEmpty())
            m_fileProblems.Damaged(TfileProblem{file, report.Problem()});
    };
    const QString libraryCache = DataFolder() + QStringLiteral("/jukebox.dat");
    master.LoadListFile(libraryCache, false, QString(), &report);
    tell(libraryCache);
    for (const CdDrive &drive : m_options.cdDrives()) {
        if (!QuietFolderExists(drive.mountPoint))
            continue;
        const QString cache = cdCacheFile(drive);
        if (cache.isEmpty() || !QuietFileExists(cache))
            continue;
        const int before = master.Count();
        master.LoadListFile(cache, true, drive.mountPoint, &report);
        tell(cache);
        for (int i = before; i < master.Count(); ++i)
            m_discRecords.push_back(master.Items(i));
    }
    m_watch->LibraryLoaded();
    m_sound->LibraryLoaded();
    m_fileProblems.ShowReadNotice();
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

QString TdmMain::cacheFile() const
{
    return DataFolder() + QStringLiteral("/jukebox.dat");
}

std::vector<TtaggerRef> TdmMain::cacheRecords() const
{
    // Disc tracks live in their disc caches; jukebox.dat holds the music
    // folders only, or every save would duplicate the discs at the next load.
    const std::unordered_set<const TcustomTagger *> disc(m_discRecords.begin(), m_discRecords.end());
    const TtaggerList &master = m_library.MasterList();
    std::vector<TcustomTagger *> folders;
    folders.reserve(size_t(master.Count()));
    for (TcustomTagger *record : master.Records())
        if (disc.empty() || !disc.count(record))
            folders.push_back(record);
    // In title order, as a rebuild leaves the library: the next start then
    // finds it in order and has nothing to sort.
    if (!master.Sorted() || master.SortType() != tsTitle)
        SortTaggers(folders, tsTitle);
    return std::vector<TtaggerRef>(folders.begin(), folders.end());
}

bool TdmMain::saveLibraryCache(QString *errorText)
{
    // A save in the background would only write what this writes, later.
    m_cacheSave->Cancel();
    TtrackListWriter writer;
    for (const TtaggerRef &record : cacheRecords())
        writer.Write(*record);
    return WriteFileAtomically(cacheFile(), writer.Data(), errorText);
}

bool TdmMain::StartScan(TscanOptions options)
{
    return m_scan->Start(m_settings.DirList, options);
}

void TdmMain::takeScanFindings(const TscanFindings &findings)
{
    // What the options take away goes only now that the scan has completed:
    // a run that is stopped loses nothing. A music folder the scan could not
    // reach keeps its tracks, whatever the options say.
    QStringList unreachable = findings.missingFolders;
    for (QString &folder : unreachable) {
        if (!folder.endsWith(u'/'))
            folder += u'/';
    }
    const auto reachable = [&unreachable](const QString &fileName) { return !InMusicFolders(fileName, unreachable); };
    if (findings.options.fullScan && unreachable.isEmpty()) {
        ClearLibrary();
    } else if (findings.options.fullScan) {
        RemoveTracks([&reachable](const TcustomTagger &record) { return reachable(record.Filename()); });
    } else if (findings.options.removeMissing) {
        const QStringList folders = m_settings.DirList;
        RemoveTracks([&folders, &reachable](const TcustomTagger &record) {
            return !InMusicFolders(record.Filename(), folders) && reachable(record.Filename());
        });
    }
    AddScannedFiles(findings.newFiles, findings.options.removeMissing, findings.missingFolders, findings.unreadable);
}

void TdmMain::AddScannedFiles(const QStringList &newFiles, bool removeMissing, const QStringList &missingFolders,
                              const std::vector<TfileProblem> &unreadable)
{
    const TtaskScope task(*this, TcoreTask::LibraryUpdate, QStringLiteral("Updating the library"));
    QStringList unreachable = missingFolders;
    for (const TfileProblem &problem : unreadable)
        unreachable.append(problem.path);
    for (QString &folder : unreachable) {
        if (!folder.endsWith(u'/'))
            folder += u'/';
    }
    const auto reachable = [&unreachable](const QString &fileName) {
        return std::none_of(unreachable.begin(), unreachable.end(),
                            [&fileName](const QString &folder) { return fileName.startsWith(folder); });
    };
    m_library.SuspendRebuild();
    TtaggerList &master = m_library.MasterList();
    if (removeMissing) {
        master.BeginUpdate();
        for (int i = master.Count() - 1; i >= 0; --i) {
            const TcustomTagger *record = master.Items(i);
            if (!QuietFileExists(record->Filename()) && reachable(record->Filename())) {
                std::erase(m_discRecords, record);
                master.Delete(i);
            }
        }
        master.EndUpdate();
    }
    // The folder watch may have taken in some of the scan's files while it
    // ran: a file is in the library once.
    QSet<QString> known;
    known.reserve(master.Count());
    for (const TcustomTagger *record : master.Records())
        known.insert(record->Filename());
    QStringList unknown;
    unknown.reserve(newFiles.size());
    for (const QString &fileName : newFiles) {
        if (!known.contains(fileName))
            unknown.append(fileName);
    }
    master.AddFileList(unknown, true, true);
    QString error;
    if (!saveLibraryCache(&error))
        m_fileProblems.WriteFailed(TfileProblem{DataFolder() + QStringLiteral("/jukebox.dat"), error});
    CheckCDs(QString(), true);
    LoadLibrary();
    m_library.ResumeRebuild();
    m_fileProblems.ShowScanNotice(missingFolders, unreadable);
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

void TdmMain::AddMusicFolder(const QString &folder)
{
    if (folder.isEmpty())
        return;
    m_settings.DirList.append(folder.endsWith(u'/') ? folder : folder + u'/');
    watchMusicFolders();
}

void TdmMain::RemoveMusicFolder(int index)
{
    if (index >= 0 && index < m_settings.DirList.size())
        m_settings.DirList.removeAt(index);
    watchMusicFolders();
}

void TdmMain::SetMusicFolders(const QStringList &folders)
{
    m_settings.DirList = folders;
    watchMusicFolders();
}

void TdmMain::SetNoTrackNumbers(bool value)
{
    m_settings.NoTrackNumbers = value;
    m_library.SetDontUseTrackNumbers(value);
    m_library.RebuildIndex();
}

void TdmMain::SetCoverArtFolder(const QString &folder)
{
    m_settings.CoverArtFolder = folder;
}

void TdmMain::SetPlaylistFolder(const QString &folder)
{
    m_settings.PlaylistFolder = folder;
}

void TdmMain::SetCartridgeFolder(const QString &folder)
{
    m_settings.CartridgeFolder = folder;
}

// --- looks and windows ---------------------------------------------------

void TdmMain::ShowTips()
{
    m_tips.Execute();
}

void TdmMain::SetTreeFont(const TtreeFont &font)
{
    if (font == m_treeFont)
        return;
    m_treeFont = font;
    m_listeners.Raise(&TcoreListener::TreeFontChanged);
}

void TdmMain::SetTreeFontLarge(const TtreeFont &font)
{
    if (font == m_treeFontLarge)
        return;
    m_treeFontLarge = font;
    m_listeners.Raise(&TcoreListener::TreeFontChanged);
}
