#pragma once

#include "core/cdStacker.h"
#include "core/coreSettings.h"
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
#include <functional>
#include <memory>

class TAudioMixer;
class TThreadedTimer;
class TcoreUserInterface;
class TcrossPlayer;
class TiniFile;
class TsoundControl;
class TvorlenPlayerFormInterface;
class TvorlenStream;

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
};

// The application core: owns the play queue, the library, the cross-fade
// player, the stacker, the mixer and the settings, and is the only path
// between the windows and them. It reaches the main window only through
// TvorlenPlayerFormInterface and asks questions through TcoreUserInterface.
//
// GUI thread only: the player's events and the timers' ticks arrive there.
class TdmMain {
public:
    static constexpr const char *kApplicationTitle = "Vorlen Mp3 Jukebox";
    static constexpr const char *kMusicFileFilter
        = "All Music Files (*.mp3;*.mp2;*.ogg;*.wma;*.flac;*.opus)|*.mp3;*.mp2;*.ogg;*.wma;*.flac;*.opus|"
          "Mp3, Mp2 Files (*.mp3;*.mp3)|*.mp3;*.mp2|OGG Files (*.ogg)|*.ogg|WMA Files (*.wma)|*.wma|"
          "FLAC Files (*.flac)|*.flac|Opus Files (*.opus)|*.opus";

    TdmMain(TvorlenPlayerFormInterface &form, TcoreUserInterface &ui, TdmMainOptions options = {});
    ~TdmMain();
    TdmMain(const TdmMain &) = delete;
    TdmMain &operator=(const TdmMain &) = delete;

    // Whether the sound output could be opened, and if not, why. The program
    // entry reports the reason and ends when it could not.
    bool SoundOutputOpen() const;
    QString SoundOutputError() const;

    // --- components ------------------------------------------------------
    TtaggerQueue &tqQueue() { return m_queue; }
    TtaggerList &tlFiles() { return m_files; }
    Tmp3JukeBoxLists &jblMain() { return m_library; }
    TcdStacker &Stacker() { return *m_stacker; }
    TcrossPlayer &Player() { return *m_player; }
    TAudioMixer &Mixer() { return *m_mixer; }
    TThreadedTimer &tmrVis() { return *m_visTimer; }
    // How tracks sound and meet: loudness, gapless album runs, silences.
    TsoundControl &Sound() { return *m_sound; }
    const TgenreList &genreList() const { return m_genreList; }

    // --- start-up, shut-down ---------------------------------------------
    void LoadSettings();
    void SaveSettings();
    // The main window's first activation.
    void StartUp();
    void LoadLibrary();

    // --- playing ---------------------------------------------------------
    void Play();
    void Pause();
    void Stop();
    void Skip();
    // The player's request for its next track: queue, then stacker, then
    // library; a notice (which does not stop the player) when no file can be
    // found.
    void ChooseNextTrack(TtaggerRef &track);

    // --- queueing --------------------------------------------------------
    void QueueRecords(const std::vector<TcustomTagger *> &records);
    void QueueRecord(TcustomTagger *record);
    void QueueFile(const QString &fileName);
    void QueueFiles();
    void QueueAlbum();

    // --- library ---------------------------------------------------------
    void RefreshCDs();
    // driveMountPoint: one disc, or every disc when empty.
    void CheckCDs(const QString &driveMountPoint, bool autoScan);
    void AddScannedFiles(const QStringList &newFiles, bool removeMissing);
    // The music search window's clean-ups before a scan. RemoveTracks deletes
    // every library track that remove answers true for, the last first, and
    // rebuilds the index once; ClearLibrary empties the library. Both keep
    // the core's list of disc tracks in step, which a window deleting from
    // the master list itself would leave pointing at freed records.
    void RemoveTracks(const std::function<bool(const TcustomTagger &)> &remove);
    void ClearLibrary();
    // The mounted optical discs now, as the core sees them.
    QList<CdDrive> CdDrives() const { return m_options.cdDrives(); }
    QString FindCover() const;
    // The picture stored in the current track's file (a front cover
    // preferred), as the bytes of an image file; empty while the player is
    // stopped or when the file holds none. Reads the file's tag, so the
    // window asks only when it shows a cover and FindCover found no file.
    QByteArray EmbeddedCover() const;

    // --- stacker ---------------------------------------------------------
    // The stacker title: empty when the stacker is off, "Empty" without
    // albums, else the album the stacker supplied last or "Inactive".
    QString StackerTitle();
    bool StackerEnabled() const { return m_settings.StackerEnabled; }
    void SetStackerEnabled(bool value) { m_settings.StackerEnabled = value; }
    const QString &CurrentStackerAlbum() const { return m_stackerAlbum; }

    // --- volume, fades, visualisation ------------------------------------
    int GetMasterVolume() const;
    void SetMasterVolume(int value);
    int FadeInTime() const { return m_settings.FadeInTime; }
    void SetFadeInTime(int value);
    int FadeOutTime() const { return m_settings.FadeOutTime; }
    void SetFadeOutTime(int value);
    int FadeInFromVolume() const { return m_settings.FadeInFromVolume; }
    void SetFadeInFromVolume(int value);
    int FadeOutToVolume() const { return m_settings.FadeOutToVolume; }
    void SetFadeOutToVolume(int value);
    void SetVisualisation(bool on);
    bool GetVisualisation() const;

    // --- playlists and the genre rule ------------------------------------
    // Every change of a playlist the windows make goes through these, so that
    // records in use stay alive and the windows hear of the change.
    void ActivatePlaylist(const QString &name);
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
    void CopyFromJukebox(TcustomTaggerList &editing);
    // The playlist list editor. Add needs a name no other playlist has and an
    // M3U file naming at least one existing music file; null otherwise.
    // "Loop Playlist" is the opposite of StopAtEnd. Reload keeps the playlist
    // as it was when the file gives no track (false then). Positions outside
    // the collection are ignored.
    TtagPlaylist *AddPreloadedPlaylist(const QString &name, const QString &m3uFile, bool autoCounterReset, bool loop);
    void UpdatePreloadedPlaylist(int index, bool autoCounterReset, bool loop);
    void DeletePreloadedPlaylist(int index);
    bool ReloadPreloadedPlaylist(int index, const QString &m3uFile, bool autoCounterReset, bool loop);
    // Tells the main window that the playlist list was edited.
    void PlaylistsEdited();

    // --- settings the windows read and write -----------------------------
    TcoreSettings &Settings() { return m_settings; }
    // The tip of the day: its flag and number are the settings' ShowTips and
    // TipNo.
    TTipDialog &tdMain() { return m_tips; }
    const TtreeFont &TreeFont() const { return m_treeFont; }
    void SetTreeFont(const TtreeFont &font);
    const TtreeFont &TreeFontLarge() const { return m_treeFontLarge; }
    void SetTreeFontLarge(const TtreeFont &font);
    // The HTML manual, empty when it is not installed.
    QString HelpFile() const { return m_helpFile; }
    void ShowWindow(TcoreWindow window);

    // --- folders ---------------------------------------------------------
    QString ProgramFolder() const { return m_folders.home; }
    QString DataFolder() const { return m_folders.dataFolder(); }
    QString PluginsFolder() const { return m_folders.plugins; }
    // vorlen.ini: a window made after the core has read it takes its own keys
    // from here once.
    QString SettingsFile() const { return m_folders.settingsFile(); }
    QString PluginSettingsFolder() const { return m_folders.pluginSettingsFolder(); }

    // The music search window's settings hooks, run inside the settings pass
    // before the main window's.
    std::function<void(TiniFile &)> OnLoadSearchSettings;
    std::function<void(TiniFile &)> OnSaveSearchSettings;

private:
    void applyFadeSettings();
    QString cdCacheFile(const CdDrive &drive) const;
    void scanDisc(const CdDrive &drive, const QString &cacheFile);
    // The library's next track whose file exists; a few picks at most, so a
    // library whose files are all gone does not hold the player.
    TtaggerRef libraryTrack();
    bool saveLibraryCache();

    TvorlenPlayerFormInterface &m_form;
    TcoreUserInterface &m_ui;
    TdmMainOptions m_options;
    ProgramFolders m_folders;
    TcoreSettings m_settings;
    TTipDialog m_tips{m_settings};
    TgenreList m_genreList;
    TtaggerQueue m_queue;
    TtaggerList m_files;
    Tmp3JukeBoxLists m_library;
    std::unique_ptr<TcdStacker> m_stacker;
    std::unique_ptr<TcrossPlayer> m_player;
    std::unique_ptr<TsoundControl> m_sound;
    std::unique_ptr<TAudioMixer> m_mixer;
    std::unique_ptr<TThreadedTimer> m_visTimer;
    // Records of the main library loaded from disc caches: they are not part
    // of the music-folder library cache jukebox.dat. Compared by address
    // only; a record leaves this list before the master list lets go of it.
    std::vector<const TcustomTagger *> m_discRecords;
    QString m_stackerAlbum;
    QString m_helpFile;
    TtreeFont m_treeFont{QStringLiteral("Arial"), 8, true, 0xE0E0E0};
    TtreeFont m_treeFontLarge{QStringLiteral("Arial"), 14, false, 0x3CA6E6};
};
