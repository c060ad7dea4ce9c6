#include "library/tagPlayListCollection.h"

#include "library/tagPlaylist.h"
#include "platform/atomicFile.h"
#include "platform/fileExists.h"
#include "platform/iniFile.h"

#include <memory>

TtagPlayListCollection::~TtagPlayListCollection()
{
    Clear();
}

void TtagPlayListCollection::Clear()
{
    for (const auto &entry : m_playlists.UnorderedEntries())
        delete entry.object;
    m_playlists.Clear();
    m_activePlaylist = nullptr;
    m_active = false;
}

QString TtagPlayListCollection::Names(int index) const
{
    return index >= 0 && index < Count() ? m_playlists.At(index).key : QString();
}

TtagPlaylist *TtagPlayListCollection::Playlists(int index) const
{
    return index >= 0 && index < Count() ? m_playlists.At(index).object : nullptr;
}

void TtagPlayListCollection::FillNames(TstringList &strings) const
{
    strings.BeginUpdate();
    strings.Clear();
    for (const auto &entry : m_playlists.Entries())
        strings.Add(entry.key, static_cast<TcustomTaggerList *>(entry.object));
    strings.EndUpdate();
}

TtagPlaylist *TtagPlayListCollection::newPlaylist(const QString &name)
{
    auto *playlist = new TtagPlaylist;
    playlist->SetCaption(name);
    playlist->SetDisplayType(m_displayType);
    playlist->OnListProcessStart = [this](TComponent *sender, int count) { RaiseEvent(OnListProcessStart, sender, count); };
    playlist->OnListProcess = [this](TComponent *sender, int index) { RaiseEvent(OnListProcess, sender, index); };
    playlist->OnListProcessFinished = [this](TComponent *sender) { RaiseEvent(OnListProcessFinished, sender); };
    return playlist;
}

TtagPlaylist *TtagPlayListCollection::keepIfFilled(TtagPlaylist *playlist, const QString &name)
{
    if (playlist->Count() == 0 || !m_playlists.Insert(name, playlist)) {
        delete playlist;
        return nullptr;
    }
    return playlist;
}

TtagPlaylist *TtagPlayListCollection::AddFromFile(const QString &name, const QString &m3uFile,
                                                 TplaylistLoadReport *report)
{
    if (!QuietFileExists(m3uFile))
        return nullptr;
    TtagPlaylist *playlist = newPlaylist(name);
    playlist->SetReadFrameHeaders(true);
    playlist->LoadFromM3U(m3uFile, report);
    return keepIfFilled(playlist, name);
}

TtagPlaylist *TtagPlayListCollection::AddFromCache(const QString &name, const QString &m3uFile, const QString &cacheFile)
{
    if (!QuietFileExists(cacheFile))
        return AddFromFile(name, m3uFile);
    TtagPlaylist *playlist = newPlaylist(name);
    playlist->LoadListFile(cacheFile, false);
    return keepIfFilled(playlist, name);
}

void TtagPlayListCollection::LoadIndex(const QString &indexFile, const QString &cacheFolder, bool append,
                                       std::vector<TfileProblem> *problems)
{
    if (!append)
        Clear();
    const TiniFile index(indexFile);
    if (problems && !index.ReadProblem().isEmpty())
        problems->push_back(TfileProblem{indexFile, index.ReadProblem()});
    for (const QString &section : index.ReadSections()) {
        if (m_playlists.Find(section))
            continue;
        const QString m3u = index.ReadString(section, QStringLiteral("Filename"), QString());
        TtagPlaylist *playlist = newPlaylist(section);
        playlist->SetReadFrameHeaders(true);
        TplaylistLoadReport report;
        if (!m3u.isEmpty())
            playlist->LoadPlaylist(m3u, false, cacheFolder, &report);
        if (problems && report.damagedCache)
            problems->push_back(*report.damagedCache);
        m_playlists.Insert(section, playlist);
        playlist->SetFilename(m3u);
        playlist->SetAutoCounterReset(index.ReadBool(section, QStringLiteral("AutoCounterReset"), false));
        playlist->SetStopAtEnd(index.ReadBool(section, QStringLiteral("StopAtEnd"), false));
    }
}

bool TtagPlayListCollection::SaveIndex(const QString &indexFile, const QString &cacheFolder,
                                       std::vector<TfileProblem> *failures) const
{
    TiniFile index;
    bool saved = true;
    QString error;
    const auto failed = [&](const QString &file) {
        saved = false;
        if (failures)
            failures->push_back(TfileProblem{file, error});
    };
    const bool caching = QuietFolderExists(cacheFolder);
    for (const auto &entry : m_playlists.Entries()) {
        const TtagPlaylist *playlist = entry.object;
        index.WriteString(entry.key, QStringLiteral("Filename"), playlist->Filename());
        index.WriteBool(entry.key, QStringLiteral("AutoCounterReset"), playlist->AutoCounterReset());
        index.WriteBool(entry.key, QStringLiteral("StopAtEnd"), playlist->StopAtEnd());
        const QString cache = PlaylistCacheFile(playlist->Filename(), cacheFolder);
        if (caching && !playlist->SaveListFile(cache, QString(), &error))
            failed(cache);
    }
    if (!WriteFileAtomically(indexFile, index.Text(), &error))
        failed(indexFile);
    return saved;
}

void TtagPlayListCollection::Activate(const QString &name)
{
    TtagPlaylist *playlist = m_playlists.Find(name);
    if (!playlist)
        return;
    m_active = true;
    m_activePlaylist = playlist;
    playlist->Activated();
}

void TtagPlayListCollection::SetActive(bool flag)
{
    m_active = flag;
    m_activePlaylist = nullptr;
    if (flag && Count() > 0)
        Activate(Names(0));
    if (!m_activePlaylist)
        m_active = false;
}

TcustomTagger *TtagPlayListCollection::ActiveNext()
{
    return m_active && m_activePlaylist ? m_activePlaylist->NextRecord() : nullptr;
}

void TtagPlayListCollection::Delete(int index)
{
    TtagPlaylist *playlist = Playlists(index);
    if (!playlist)
        return;
    if (playlist == m_activePlaylist) {
        m_active = false;
        m_activePlaylist = nullptr;
    }
    m_playlists.RemoveObject(playlist);
    delete playlist;
}

void TtagPlayListCollection::RemovePlaylist(TtagPlaylist *playlist)
{
    if (!m_playlists.RemoveObject(playlist))
        return;
    if (playlist == m_activePlaylist) {
        m_active = false;
        m_activePlaylist = nullptr;
    }
    delete playlist;
}

void TtagPlayListCollection::SetDisplayTypeAll(TtagDisplayType type)
{
    m_displayType = type;
    for (const auto &entry : m_playlists.UnorderedEntries())
        entry.object->SetDisplayType(type);
}
