#include "core/cdStacker.h"

#include "core/retiredRecords.h"
#include "library/tagAlbum.h"
#include "library/tagAlbumList.h"
#include "library/tagPlaylist.h"
#include "metadata/timeTexts.h"
#include "platform/fileExists.h"

#include <QFileInfo>

namespace {

// Takes record out of a list without freeing it.
void detach(TtaggerList &list, TcustomTagger *record)
{
    const bool owns = list.FreeOnDestroy();
    list.SetFreeOnDestroy(false);
    list.Remove(record);
    list.SetFreeOnDestroy(owns);
}

} // namespace

TcdStacker::TcdStacker(const QString &dataFolder, TretiredRecords &retired)
    : m_dataFolder(dataFolder), m_retired(retired)
{
    PlayList().SetFreeOnDestroy(false);
    PlayList().SetRandomise(true);
    m_library.OnListsUpdated = [this](TComponent *) { changed(); };
}

TcdStacker::~TcdStacker()
{
    m_library.OnListsUpdated = nullptr;
    PlayList().Clear();
}

void TcdStacker::changed()
{
    TtagPlaylist &list = PlayList();
    list.BeginUpdate();
    list.Clear();
    for (TcustomTagger *record : m_library.MasterList().Records())
        list.Add(record);
    TtagPlayListCollection &collection = m_library.PlaylistCollection();
    for (int i = 0; i < collection.Count(); ++i)
        for (TcustomTagger *record : collection.Playlists(i)->Records())
            list.Add(record);
    list.EndUpdate();
    if (OnChange)
        OnChange();
}

void TcdStacker::AddAlbum(const TtagAlbum &album)
{
    m_library.SuspendRebuild();
    for (const TcustomTagger *record : album.Records())
        m_library.MasterList().AddCopy(record);
    m_library.ResumeRebuild();
}

bool TcdStacker::AddPlaylist(const QString &name, const QString &m3uFile)
{
    const bool added = !name.isEmpty() && !m_library.PlaylistCollection().Find(name)
                       && m_library.PlaylistCollection().AddFromFile(name, m3uFile);
    changed();
    return added;
}

void TcdStacker::DeleteNode(const TlistObject &object, const TlistObject &parentObject)
{
    if (auto *const *record = std::get_if<TcustomTagger *>(&object)) {
        auto *const *parent = std::get_if<TcustomTaggerList *>(&parentObject);
        if (!parent)
            return;
        if (auto *playlist = dynamic_cast<TtagPlaylist *>(*parent)) {
            detach(*playlist, *record);
        } else if (dynamic_cast<TtagAlbum *>(*parent)) {
            detach(m_library.MasterList(), *record);
        } else {
            return;
        }
        m_retired.Retire({*record});
        changed();
        return;
    }
    if (auto *const *list = std::get_if<TcustomTaggerList *>(&object)) {
        if (auto *playlist = dynamic_cast<TtagPlaylist *>(*list))
            DeletePlaylist(playlist);
        else if (auto *album = dynamic_cast<TtagAlbum *>(*list))
            DeleteAlbum(*album);
    }
}

void TcdStacker::DeleteAlbum(const TtagAlbum &album)
{
    // The album belongs to the index the rebuild replaces: copy its records first.
    const std::vector<TcustomTagger *> records = album.Records();
    m_library.SuspendRebuild();
    for (TcustomTagger *record : records)
        detach(m_library.MasterList(), record);
    m_retired.Retire(records);
    m_library.ResumeRebuild();
}

void TcdStacker::DeletePlaylist(TtagPlaylist *playlist)
{
    TtagPlayListCollection &collection = m_library.PlaylistCollection();
    for (int i = 0; i < collection.Count(); ++i) {
        if (collection.Playlists(i) != playlist)
            continue;
        playlist->SetFreeOnDestroy(false);
        m_retired.Retire(playlist->Records());
        collection.RemovePlaylist(playlist);
        break;
    }
    changed();
}

std::vector<TcustomTagger *> TcdStacker::takeMasterRecords()
{
    TtaggerList &master = m_library.MasterList();
    std::vector<TcustomTagger *> records = master.Records();
    master.SetFreeOnDestroy(false);
    m_library.Clear();
    master.SetFreeOnDestroy(true);
    return records;
}

void TcdStacker::Empty()
{
    TtagPlayListCollection &collection = m_library.PlaylistCollection();
    while (collection.Count() > 0)
        DeletePlaylist(collection.Playlists(0));
    m_library.SuspendRebuild();
    m_retired.Retire(takeMasterRecords());
    m_library.ResumeRebuild();
}

QString TcdStacker::CartridgeIndexFile(const QString &cartridgeFile) const
{
    return m_dataFolder + QLatin1Char('/') + QFileInfo(cartridgeFile).completeBaseName() + QStringLiteral(".pll");
}

bool TcdStacker::SaveCartridge(const QString &fileName)
{
    return m_library.MasterList().SaveListFile(fileName)
           && m_library.PlaylistCollection().SaveIndex(CartridgeIndexFile(fileName), m_dataFolder);
}

void TcdStacker::loadCartridge(const QString &fileName, bool append)
{
    m_library.SuspendRebuild();
    TtagPlayListCollection &collection = m_library.PlaylistCollection();
    if (!append) {
        while (collection.Count() > 0) {
            TtagPlaylist *playlist = collection.Playlists(0);
            playlist->SetFreeOnDestroy(false);
            m_retired.Retire(playlist->Records());
            collection.RemovePlaylist(playlist);
        }
        m_retired.Retire(takeMasterRecords());
    }
    collection.LoadIndex(CartridgeIndexFile(fileName), m_dataFolder, true);
    m_library.MasterList().LoadListFile(fileName, true);
    m_library.ResumeRebuild();
}

void TcdStacker::LoadCartridge(const QString &fileName)
{
    loadCartridge(fileName, false);
}

void TcdStacker::AddCartridge(const QString &fileName)
{
    loadCartridge(fileName, true);
}

void TcdStacker::LoadFiles()
{
    const QString masterFile = m_dataFolder + QStringLiteral("/stacker.dat");
    if (!QuietFileExists(masterFile))
        return;
    m_library.SuspendRebuild();
    m_library.PlaylistCollection().LoadIndex(m_dataFolder + QStringLiteral("/stackerpl.dat"), m_dataFolder, false);
    m_library.MasterList().LoadListFile(masterFile, false);
    m_library.ResumeRebuild();
}

bool TcdStacker::SaveFiles()
{
    return m_library.MasterList().SaveListFile(m_dataFolder + QStringLiteral("/stacker.dat"))
           && m_library.PlaylistCollection().SaveIndex(m_dataFolder + QStringLiteral("/stackerpl.dat"), m_dataFolder);
}

int TcdStacker::IndexAlbumCount()
{
    return m_library.AlbumList().Count();
}

int TcdStacker::AlbumCount()
{
    return IndexAlbumCount() + m_library.PlaylistCollection().Count();
}

double TcdStacker::PlayTime()
{
    return PlayList().TotalDuration();
}

QStringList TcdStacker::StatusTexts()
{
    TtagPlaylist &list = PlayList();
    return {QStringLiteral("Tracks : %1").arg(list.Count()),
            QStringLiteral("Duration : ") + FormatHourMinSec(qint64(list.TotalDuration() / 1000.0)),
            QStringLiteral("Artists : %1").arg(list.ArtistCount()),
            QStringLiteral("Albums : %1").arg(IndexAlbumCount()),
            QStringLiteral("Playlists : %1").arg(m_library.PlaylistCollection().Count())};
}

QString TcdStacker::Title(bool enabled, const QString &currentAlbum)
{
    if (!enabled)
        return QString();
    if (IndexAlbumCount() == 0)
        return QStringLiteral("Empty");
    return currentAlbum.isEmpty() ? QStringLiteral("Inactive") : currentAlbum;
}
