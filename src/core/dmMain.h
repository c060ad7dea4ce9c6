#pragma once

#include "core/alarmClock.h"
#include "core/cdStacker.h"
#include "core/coreListeners.h"
#include "core/coreSettings.h"
#include "core/desktopMusicFolder.h"
#include "core/guestRequests.h"
#include "core/libraryScan.h"
#include "core/fileProblems.h"
#include "core/tipOfTheDay.h"
#include "core/userInterface.h"
#include "library/mp3JukeBoxLists.h"
#include "library/taggerList.h"
#include "library/taggerQueue.h"
#include "metadata/genreList.h"
#include "platform/cdDrives.h"
#include "platform/programFolders.h"
#include "playback/audioEngine.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

class TAudioMixer;
class TThreadedTimer;
class TcoreUserInterface;
class TcrossPlayer;
class TiniFile;
class TlibraryCacheSave;
class TlibraryWatch;
class TsoundControl;
struct TsoundSettings;
class TtinyVisLoader;
class TvisSurface;
class TvorlenStream;
struct TplaylistLoadReport;

// The rules the playlist options offer for the loaded playlist.
enum TplaylistRule { prNone, prM3uFile, prGenres };

// A font the windows paint tree items with.
struct TtreeFont {
    QString family;
    int pointSize = 8;
    bool bold = false;
    quint32 rgb = 0;
    bool operator==(const TtreeFont &) const = default;
};

// Where the core finds what it needs from the system; tests replace parts.
struct TdmMainOptions {
    ProgramFolders folders = ResolveProgramFolders();
    AudioEngineOptions engine;
    // The mounted optical discs, in device order.
    std::function<QList<CdDrive>()> cdDrives = ListCdDrives;
    // A disc's volume serial from its device (or image); empty when unreadable.
    std::function<QString(const QString &device)> volumeSerial = VolumeSerialText;
    // The desktop's music folder, offered at the first start; empty for none.
    std::function<QString()> desktopMusicFolder = DesktopMusicFolder;
    // The party's clock: a steady time in milliseconds.
    TguestRequests::Tclock clock = SteadyClockMs;
};

// Party mode's state as the guests' server reports it: whether it listens,
// the address guests open (with the guest code), the reason it could not
// listen, and how many guests' pages are connected.
struct TpartyStatus {
    bool Listening = false;
    QString Address;
    QString Error;
    int Connections = 0;

    bool operator==(const TpartyStatus &) const = default;
};

// The application core: owns the play queue, the library, the cross-fade
// player, the stacker, the mixer, the visualisation host and the settings,
// and is the one path between the faces of the jukebox (the main window and
// its dialogs, the desktop's media controls) and them. The faces read the
// components through const access; every change goes through an operation
// here, and the core announces every change to every face that subscribed
// (TcoreListener). It asks its questions through TcoreUserInterface.
//
// GUI thread only: the player's events and the timers' ticks arrive there.
class TdmMain {
public:
    static constexpr const char *kApplicationTitle = "Vorlen Mp3 Jukebox";
    static constexpr const char *kNoSoundOutputCaption = "No Sound Output";
    static constexpr const char *kMusicFileFilter
        = "All Music Files (*.mp3;*.mp2;*.ogg;*.wma;*.flac;*.opus)|*.mp3;*.mp2;*.ogg;*.wma;*.flac;*.opus|"
          "Mp3, Mp2 Files (*.mp3;*.mp3)|*.mp3;*.mp2|OGG Files (*.ogg)|*.ogg|WMA Files (*.wma)|*.wma|"
          "FLAC Files (*.flac)|*.flac|Opus Files (*.opus)|*.opus";

    // Nothing is read yet: the program subscribes its faces, then calls
    // LoadSettings, so that every face reads its own keys in the same pass.
    explicit TdmMain(TcoreUserInterface &ui, TdmMainOptions options = {});
    ~TdmMain();
    TdmMain(const TdmMain &) = delete;
    TdmMain &operator=(const TdmMain &) = delete;

    // A face hears every announcement from now until the subscription ends.
    [[nodiscard]] TcoreSubscription Subscribe(TcoreListener &listener) { return m_listeners.Subscribe(listener); }

    // Whether the sound output is open, and if not, why. Without one the
    // jukebox runs all the same: StartUp tells the user, and the player opens
    // an output as soon as one appears.
    bool SoundOutputOpen() const;
    QString SoundOutputError() const;

    // --- components, to read -----------------------------------------------
    const TtaggerQueue &tqQueue() const { return m_queue; }
    const TtaggerList &tlFiles() const { return m_files; }
    const Tmp3JukeBoxLists &jblMain() const { return m_library; }
    const TcdStacker &Stacker() const { return *m_stacker; }
    const TcrossPlayer &Player() const { return *m_player; }
    const TAudioMixer &Mixer() const { return *m_mixer; }
    // How tracks sound and meet: loudness, gapless album runs, silences.
    const TsoundControl &Sound() const { return *m_sound; }
    const TgenreList &genreList() const { return m_genreList; }
    const TcoreSettings &Settings() const { return m_settings; }

    // --- start-up, shut-down ---------------------------------------------
    // The settings pass: the core's keys, then every face's.
    void LoadSettings();
    // Writes vorlen.ini with every face's keys, playlists.pll and the
    // stacker's files; every file is tried, and a failure is reported.
    void SaveSettings();
    // The main window's first activation: the library loads; a missing
    // sound output is told of.
    void StartUp();
    void LoadLibrary();
    // Asks the program to end (QuitRequested reaches the faces).
    void RequestQuit();

    // --- playing ---------------------------------------------------------
    void Play();
    // Toggles the pause of the playing or paused track.
    void Pause();
    void Stop();
    void Skip();
    // The state of the current stream (ssStopped, ssPlaying ...).
    TstreamState PlayState() const;
    // The stream of the track playing or paused; null otherwise.
    const TvorlenStream *PlayingStream() const;
    // Moves the playing track to ms and announces the jump.
    void Seek(qint64 ms);
    // What TrackChanged announced last.
    const TnowPlaying &NowPlaying() const { return m_nowPlaying; }
    // The player's request for its next track: queue, then stacker, then
    // library; a notice (which does not stop the player) when no file can be
    // found.
    void ChooseNextTrack(TtaggerRef &track);

    // --- queueing --------------------------------------------------------
    void QueueRecords(const std::vector<TcustomTagger *> &records);
    void QueueRecord(TcustomTagger *record);
    // Queues a music file by name (kept by the scratch list tlFiles). The
    // record queued, or null with the reason in *whyNot.
    const TcustomTagger *QueueFile(const QString &fileName, QString *whyNot = nullptr);
    void QueueFiles();
    void QueueAlbum();
    // The queue commands of the windows. Each answers whether it changed the
    // queue; the moves give the row the track went to, or -1 when nothing
    // moved (no such row, already at that end, a single track).
    int QueueMoveUp(int row);
    int QueueMoveDown(int row);
    int QueueMoveTo(int row, int position);
    bool QueueDelete(int row);
    bool QueueClear();

    // --- library ---------------------------------------------------------
    // The user's scan of the music folders; when it completes, the library
    // takes what it found (the options' removals first, then the new files).
    TlibraryScan &Scan() { return *m_scan; }
    const TlibraryScan &Scan() const { return *m_scan; }
    // Starts a scan of the music folders; false while one runs.
    bool StartScan(TscanOptions options);
    void RefreshCDs();
    // driveMountPoint: one disc, or every disc when empty.
    void CheckCDs(const QString &driveMountPoint, bool autoScan);
    // missingFolders and unreadable: what the scan could not reach. Nothing
    // below them is removed as missing (a folder on an unplugged drive holds
    // its tracks still), and the user is told of them.
    void AddScannedFiles(const QStringList &newFiles, bool removeMissing, const QStringList &missingFolders = {},
                         const std::vector<TfileProblem> &unreadable = {});
    // The music search window's clean-ups before a scan. RemoveTracks deletes
    // every library track that remove answers true for, the last first, and
    // rebuilds the index once; ClearLibrary empties the library. Both keep
    // the core's list of disc tracks in step.
    void RemoveTracks(const std::function<bool(const TcustomTagger &)> &remove);
    void ClearLibrary();
    // The mounted optical discs now, as the core sees them.
    QList<CdDrive> CdDrives() const { return m_options.cdDrives(); }
    // The cover file named after the current track's artist and album; empty
    // while the player is stopped or when there is none.
    QString FindCover() const;
    // The picture stored in the current track's file (a front cover
    // preferred), as the bytes of an image file; empty while the player is
    // stopped or when the file holds none.
    QByteArray EmbeddedCover() const;
    // The music folders; a folder is kept with a trailing "/". The watch
    // follows the list.
    void AddMusicFolder(const QString &folder);
    void RemoveMusicFolder(int index);
    void SetMusicFolders(const QStringList &folders);
    // Whether albums are ordered by the tracks' numbers; the index is rebuilt.
    void SetNoTrackNumbers(bool value);
    void SetCoverArtFolder(const QString &folder);
    // The folders the file dialogs open in, remembered from the last choice.
    void SetPlaylistFolder(const QString &folder);
    void SetCartridgeFolder(const QString &folder);

    // --- keeping the library current (dmMainWatch.cpp) --------------------
    // Whether the music folders are watched and the library follows them.
    bool WatchFolders() const { return m_settings.WatchFolders; }
    void SetWatchFolders(bool value);
    const TlibraryWatch &LibraryWatch() const { return *m_watch; }

    // --- stacker ---------------------------------------------------------
    // The stacker title: empty when the stacker is off, "Empty" without
    // albums, else the album the stacker supplied last or "Inactive".
    QString StackerTitle() const;
    bool StackerEnabled() const { return m_settings.StackerEnabled; }
    void SetStackerEnabled(bool value);
    const QString &CurrentStackerAlbum() const { return m_stackerAlbum; }
    // The stacker window's commands (see TcdStacker).
    void StackerAddAlbum(const TtagAlbum &album);
    bool StackerAddPlaylist(const QString &name, const QString &m3uFile);
    void StackerDeleteNode(const TlistObject &object, const TlistObject &parentObject);
    void StackerEmpty();
    bool StackerSaveCartridge(const QString &fileName);
    TcartridgeCheck StackerLoadCartridge(const QString &fileName, bool append);

    // --- volume, fades, visualisation ------------------------------------
    int GetMasterVolume() const;
    // Sets the master volume (0..255) and announces it.
    void SetMasterVolume(int value);
    int FadeInTime() const { return m_settings.FadeInTime; }
    void SetFadeInTime(int value);
    int FadeOutTime() const { return m_settings.FadeOutTime; }
    void SetFadeOutTime(int value);
    int FadeInFromVolume() const { return m_settings.FadeInFromVolume; }
    void SetFadeInFromVolume(int value);
    int FadeOutToVolume() const { return m_settings.FadeOutToVolume; }
    void SetFadeOutToVolume(int value);
    // How tracks meet (loudness mode, target, pre-amp, gapless album runs,
    // fades that meet the music), and whether the library is measured in the
    // background; read through Sound().
    void SetSoundSettings(const TsoundSettings &settings);
    void SetLoudnessAnalysis(bool enabled);
    // The visualisation's refresh tick and spectrum. With a surface, the
    // plug-in from the plug-in folder runs on it; each tick it draws, then
    // VisTimer reaches the faces.
    void SetVisualisation(bool on, TvisSurface *surface = nullptr);
    bool GetVisualisation() const;
    bool VisualisationRunning() const;
    void ConfigureVisualisation();

    // --- playlists and the genre rule ------------------------------------
    // Every change of a playlist the windows make goes through these, so that
    // records in use stay alive and the faces hear of the change.
    // The named preloaded playlist becomes the active one; null when there is
    // no such playlist.
    const TtagPlaylist *ActivatePlaylist(const QString &name);
    // No preloaded playlist is active; the loaded playlist stays.
    void ActivateNoPlaylist();
    // No preloaded playlist is active and the loaded playlist is emptied.
    void DeactivatePlaylists();
    QStringList GetGenres() const { return m_settings.Genres; }
    void SetGenres(const QStringList &genres) { m_settings.Genres = genres; }
    // The playlist options' OK. prNone empties the loaded playlist; prM3uFile
    // makes it the tracks of the file (from its cache in the data folder when
    // there is one), in random order when asked; prGenres makes it every
    // library track of the named genres, in random order, and stores the
    // names as the genre rule's list. False, with the loaded playlist as it
    // was, when the file is missing or names no existing music file.
    bool ApplyPlaylistRule(TplaylistRule rule, const QString &m3uFile, bool randomOrder, const QStringList &genres);
    // The playlist editor's "Copy to Jukebox" (the loaded playlist becomes a
    // copy of the editing playlist) and "Copy from Jukebox" (the reverse).
    void CopyToJukebox(const TcustomTaggerList &editing);
    void CopyFromJukebox(TcustomTaggerList &editing) const;
    // The playlist list editor. Add needs a name no other playlist has and an
    // M3U file naming at least one existing music file; null otherwise.
    // "Loop Playlist" is the opposite of StopAtEnd. Reload keeps the playlist
    // as it was when the file gives no track (false then). Positions outside
    // the collection are ignored.
    const TtagPlaylist *AddPreloadedPlaylist(
        const QString &name, const QString &m3uFile, bool autoCounterReset, bool loop);
    void UpdatePreloadedPlaylist(int index, bool autoCounterReset, bool loop);
    void DeletePreloadedPlaylist(int index);
    bool ReloadPreloadedPlaylist(int index, const QString &m3uFile, bool autoCounterReset, bool loop);
    // Tells the faces that the playlist list was edited.
    void PlaylistsEdited();
    // The list the playlist window shows: the active preloaded playlist, else
    // the loaded one.
    const TtaggerList &PlaylistInUse() const;

    // --- party mode: guests' requests from their phones ------------------
    // Every change here reaches the faces as PartyChanged. Turning party
    // mode on opens the Party window.
    const TpartySettings &PartySettings() const { return m_party->Settings(); }
    void SetPartySettings(const TpartySettings &settings);
    // The guests' server says how it stands.
    const TpartyStatus &PartyStatus() const { return m_partyStatus; }
    void SetPartyStatus(const TpartyStatus &status);
    // The party's guests, their requests and votes (see TguestRequests).
    const TguestRequests &Party() const { return *m_party; }
    // A new guest; 0 when the name is empty or the party is full.
    int JoinParty(const QString &name);
    bool RenameGuest(int guest, const QString &name);
    // The guest did something: it counts among the active guests.
    void GuestActive(int guest);
    // A guest asks for a library track (see TguestRequests::Request).
    TrequestAnswer RequestTrack(int guest, TcustomTagger *record);
    bool ApproveRequest(quint64 id);
    bool RejectRequest(quint64 id);
    // A guest votes to skip the playing track; the majority skips it.
    TskipVote VoteToSkip(int guest);
    TskipVote SkipVotes() const;

    // --- the alarms --------------------------------------------------------
    // The turn-on alarm plays, the turn-off alarm stops. They are the
    // jukebox's, not a window's: they go off whichever face is open.
    const TalarmClock &Alarms() const { return m_alarms; }
    // Takes the use and the time of both alarms; setting a time re-arms its
    // alarm, so a time already past today goes off at the next check.
    void SetAlarms(const TalarmClock &alarms);
    // One check at time of day now; the core's clock checks once a second.
    void CheckAlarms(QTime now);

    // --- settings the windows read and write -----------------------------
    // The tip of the day: its flag and number are the settings' ShowTips and
    // TipNo. ShowTips shows the dialog through TcoreUserInterface.
    const TTipDialog &tdMain() const { return m_tips; }
    void ShowTips();
    const TtreeFont &TreeFont() const { return m_treeFont; }
    void SetTreeFont(const TtreeFont &font);
    const TtreeFont &TreeFontLarge() const { return m_treeFontLarge; }
    void SetTreeFontLarge(const TtreeFont &font);
    // The HTML manual, empty when it is not installed.
    QString HelpFile() const { return m_helpFile; }

    // --- files that could not be read or written ---------------------------
    // The windows' own files (the skin) join the core's: a file not read
    // whole is kept as NAME.damaged and named in the notice; a failure to
    // write during the settings pass is listed with the core's.
    void ReportDamagedFile(const TfileProblem &problem);
    void ReportWriteFailure(const TfileProblem &problem);
    // Entries of a playlist file loaded at the user's request that named no
    // file: told in one notice.
    void ReportEntriesNotFound(const QString &listFile, const TplaylistLoadReport &report, int found);

    // --- folders ---------------------------------------------------------
    QString ProgramFolder() const { return m_folders.home; }
    QString DataFolder() const { return m_folders.dataFolder(); }
    QString PluginsFolder() const { return m_folders.plugins; }
    // vorlen.ini: a window made after the settings pass reads its own keys
    // from here once.
    QString SettingsFile() const { return m_folders.settingsFile(); }
    QString PluginSettingsFolder() const { return m_folders.pluginSettingsFolder(); }

private:
    // While it lives, the library's and the stacker's progress is announced
    // as this task under this title; the task before comes back after it.
    class TtaskScope {
    public:
        TtaskScope(TdmMain &core, TcoreTask task, const QString &title);
        ~TtaskScope();
        TtaskScope(const TtaskScope &) = delete;
        TtaskScope &operator=(const TtaskScope &) = delete;

    private:
        TdmMain &m_core;
        TcoreTask m_task;
        QString m_title;
    };

    void hookComponents();
    void hookProgress(Tmp3JukeBoxLists &lists);
    void applyFadeSettings();
    void trackStarted();
    // Nothing plays any more: what was announced as playing is cleared and
    // announced, once.
    void trackEnded();
    void soundOutputOpened();
    void startAlarmClock();
    QString coverFileOfCurrentTrack() const;
    QString cdCacheFile(const CdDrive &drive) const;
    void scanDisc(const CdDrive &drive, const QString &cacheFile);
    // The library's next track whose file exists; a few picks at most, so a
    // library whose files are all gone does not hold the player.
    TtaggerRef libraryTrack();
    bool saveLibraryCache(QString *errorText);
    void takeScanFindings(const TscanFindings &findings);
    // What jukebox.dat holds: the music folders' records in title order.
    std::vector<TtaggerRef> cacheRecords() const;
    QString cacheFile() const;
    void watchMusicFolders();
    // At the first start without music folders: offers the desktop's music
    // folder; true when it did.
    bool offerDesktopMusicFolder();

    TcoreUserInterface &m_ui;
    TfileProblems m_fileProblems{m_ui};
    TdmMainOptions m_options;
    ProgramFolders m_folders;
    TcoreListeners m_listeners;
    TcoreSettings m_settings;
    TTipDialog m_tips{m_settings};
    TalarmClock m_alarms;
    QTimer m_alarmClock;
    TgenreList m_genreList;
    TtaggerQueue m_queue;
    TtaggerList m_files;
    Tmp3JukeBoxLists m_library;
    std::unique_ptr<TcdStacker> m_stacker;
    std::unique_ptr<TcrossPlayer> m_player;
    std::unique_ptr<TsoundControl> m_sound;
    std::unique_ptr<TAudioMixer> m_mixer;
    std::unique_ptr<TThreadedTimer> m_visTimer;
    std::unique_ptr<TtinyVisLoader> m_visLoader;
    std::unique_ptr<TlibraryWatch> m_watch;
    std::unique_ptr<TlibraryCacheSave> m_cacheSave;
    std::unique_ptr<TlibraryScan> m_scan;
    // Records of the main library loaded from disc caches: they are not part
    // of the music-folder library cache jukebox.dat. Compared by address
    // only; a record leaves this list before the master list lets go of it.
    std::vector<const TcustomTagger *> m_discRecords;
    TnowPlaying m_nowPlaying;
    // What the library's and the stacker's progress events are announced as.
    TcoreTask m_task = TcoreTask::IndexRebuild;
    QString m_taskTitle;
    QString m_stackerAlbum;
    QString m_helpFile;
    TtreeFont m_treeFont{QStringLiteral("Arial"), 8, true, 0xE0E0E0};
    TtreeFont m_treeFontLarge{QStringLiteral("Arial"), 14, false, 0x3CA6E6};
    std::unique_ptr<TguestRequests> m_party;
    TpartyStatus m_partyStatus;
};
