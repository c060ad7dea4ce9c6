#pragma once

#include "library/mp3JukeBoxLists.h"
#include "library/tagPlaylist.h"

#include <QString>
#include <QStringList>
#include <vector>

class TdmMain;

// What the playlist editor works on: a library of its own, read from the
// library cache when the editor opens (so browsing it never touches the
// jukebox's library), and the editing playlist. The playlist editor window
// presents it and changes the playlist only through these operations.
//
// GUI thread only.
class TplaylistEditor {
public:
    explicit TplaylistEditor(TdmMain &core);
    TplaylistEditor(const TplaylistEditor &) = delete;
    TplaylistEditor &operator=(const TplaylistEditor &) = delete;

    // The editor's library (its tree is filled from it) and the editing
    // playlist, shown with queue numbers.
    Tmp3JukeBoxLists &Library() { return m_library; }
    TtagPlaylist &Playlist() { return m_playlist; }

    // On show: the editor's library becomes what the library cache holds.
    void Open();
    // Closing empties the editing playlist.
    void Close();

    // "&Load" and "&Add from Playlist": the tracks of an M3U file (from its
    // cache in the data folder when there is one) replace or follow the
    // playlist's; the playlist folder setting becomes the file's folder. False,
    // with the playlist as it was, when the file gives no track.
    bool Load(const QString &m3uFile, bool append);
    // "&Save": the M3U file and its cache; false when either could not be
    // written.
    bool Save(const QString &m3uFile);
    void MoveUp(int index) { m_playlist.MoveUp(index); }
    void MoveDown(int index) { m_playlist.MoveDown(index); }
    // Deletes the entries at the given positions, as one change.
    void Delete(std::vector<int> indices);
    void Clear() { m_playlist.Clear(); }
    // Copies of the given records, added in order as one change.
    void AddTracks(const std::vector<TcustomTagger *> &records);
    void CopyToJukebox();
    void CopyFromJukebox();
    void Randomize() { m_playlist.Shuffle(); }

    // The editing playlist's status texts (PlaylistStatusTexts).
    QStringList StatusTexts() const;

private:
    TdmMain &m_core;
    Tmp3JukeBoxLists m_library;
    TtagPlaylist m_playlist;
};

// What the playlist windows' status bars show of a playlist: "Count : %d"
// (records), "Play Time : %s" (the total duration as hours, minutes and
// seconds) and "Artist Count : %d".
QStringList PlaylistStatusTexts(const TtaggerList &playlist);
