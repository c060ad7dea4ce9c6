#include "core/playlistEditor.h"

#include "core/dmMain.h"
#include "metadata/timeTexts.h"
#include "platform/fileExists.h"

#include <QFileInfo>
#include <algorithm>

TplaylistEditor::TplaylistEditor(TdmMain &core) : m_core(core)
{
    m_playlist.SetDisplayType(tdQueue);
    m_playlist.SetReadFrameHeaders(true);
}

void TplaylistEditor::Open()
{
    m_library.MasterList().LoadListFile(m_core.DataFolder() + QStringLiteral("/jukebox.dat"), false);
}

void TplaylistEditor::Close()
{
    m_playlist.Clear();
}

bool TplaylistEditor::Load(const QString &m3uFile, bool append)
{
    TtagPlaylist fresh;
    fresh.SetReadFrameHeaders(true);
    TplaylistLoadReport report;
    if (QuietFileExists(m3uFile))
        fresh.LoadPlaylist(m3uFile, false, m_core.DataFolder(), &report);
    m_core.ReportEntriesNotFound(m3uFile, report, fresh.Count());
    if (fresh.Count() == 0)
        return false;
    m_core.SetPlaylistFolder(QFileInfo(m3uFile).absolutePath());
    if (!append) {
        m_playlist.ReplaceRecords(fresh);
        return true;
    }
    m_playlist.BeginUpdate();
    for (TcustomTagger *record : fresh.Records())
        m_playlist.Add(record);
    m_playlist.EndUpdate();
    return true;
}

bool TplaylistEditor::Save(const QString &m3uFile)
{
    m_core.SetPlaylistFolder(QFileInfo(m3uFile).absolutePath());
    return m_playlist.SavePlaylist(m3uFile, m_core.DataFolder());
}

void TplaylistEditor::Delete(std::vector<int> indices)
{
    // From the last to the first, so that each position still means what the
    // window showed.
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    m_playlist.BeginUpdate();
    for (auto it = indices.rbegin(); it != indices.rend(); ++it)
        m_playlist.Delete(*it);
    m_playlist.EndUpdate();
}

void TplaylistEditor::AddTracks(const std::vector<TcustomTagger *> &records)
{
    m_playlist.BeginUpdate();
    for (const TcustomTagger *record : records)
        m_playlist.AddCopy(record);
    m_playlist.EndUpdate();
}

void TplaylistEditor::CopyToJukebox()
{
    m_core.CopyToJukebox(m_playlist);
}

void TplaylistEditor::CopyFromJukebox()
{
    m_core.CopyFromJukebox(m_playlist);
}

QStringList TplaylistEditor::StatusTexts() const
{
    return PlaylistStatusTexts(m_playlist);
}

QStringList PlaylistStatusTexts(const TtaggerList &playlist)
{
    return {QStringLiteral("Count : %1").arg(playlist.Count()),
            QStringLiteral("Play Time : ") + FormatMsHourMinSec(qint64(playlist.TotalDuration())),
            QStringLiteral("Artist Count : %1").arg(playlist.ArtistCount())};
}
