#include "core/cdStacker.h"

#include "library/tagAlbum.h"
#include "library/tagAlbumList.h"
#include "library/tagPlaylist.h"
#include "library/trackListFile.h"
#include "metadata/timeTexts.h"
#include "platform/fileExists.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

TcdStacker::TcdStacker(const QString &dataFolder) : m_dataFolder(dataFolder)
{
    PlayList().SetRandomise(true);
    m_library.OnListsChanging = [this](TComponent *) { changing(); };
    m_library.OnListsUpdated = [this](TComponent *) { changed(); };
}

TcdStacker::~TcdStacker()
{
    m_library.OnListsChanging = nullptr;
    m_library.OnListsUpdated = nullptr;
    PlayList().Clear();
}

void TcdStacker::changing()
{
    RaiseEvent(OnChanging);
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
    RaiseEvent(OnChange);
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
    changing();
    const bool added = !name.isEmpty() && !m_library.PlaylistCollection().Find(name)
                       && m_library.PlaylistCollection().AddFromFile(name, m3uFile);
    changed();
    return added;
}

namespace {

const TcustomTaggerList *listOf(const TlistObject &object)
{
    auto *const *list = std::get_if<TcustomTaggerList *>(&object);
    return list ? *list : nullptr;
}

} // namespace

TtagAlbum *TcdStacker::ownAlbum(const TcustomTaggerList *list)
{
    const TtagAlbumList &albums = m_library.AlbumList();
    for (int i = 0; list && i < albums.Count(); ++i) {
        if (albums.Albums(i) == list)
            return albums.Albums(i);
    }
    return nullptr;
}

TtagPlaylist *TcdStacker::ownPlaylist(const TcustomTaggerList *list)
{
    const TtagPlayListCollection &collection = m_library.PlaylistCollection();
    for (int i = 0; list && i < collection.Count(); ++i) {
        if (collection.Playlists(i) == list)
            return collection.Playlists(i);
    }
    return nullptr;
}

void TcdStacker::DeleteNode(const TlistObject &object, const TlistObject &parentObject)
{
    if (auto *const *record = std::get_if<TcustomTagger *>(&object)) {
        if (TtagPlaylist *playlist = ownPlaylist(listOf(parentObject))) {
            changing();
            playlist->Remove(*record);
            changed();
        } else if (TtagAlbum *album = ownAlbum(listOf(parentObject))) {
            // Only a record the album really holds: the address of a freed
            // record may have been given to another one since.
            if (std::find(album->Records().begin(), album->Records().end(), *record) == album->Records().end())
                return;
            m_library.SuspendRebuild();
            m_library.MasterList().Remove(*record);
            m_library.ResumeRebuild();
        }
        return;
    }
    if (TtagPlaylist *playlist = ownPlaylist(listOf(object)))
        DeletePlaylist(playlist);
    else if (TtagAlbum *album = ownAlbum(listOf(object)))
        DeleteAlbum(album);
}

void TcdStacker::DeleteAlbum(const TtagAlbum *album)
{
    if (!ownAlbum(album))
        return;
    // The album belongs to the index the rebuild replaces: copy its records first.
    const std::vector<TcustomTagger *> records = album->Records();
    m_library.SuspendRebuild();
    for (TcustomTagger *record : records)
        m_library.MasterList().Remove(record);
    m_library.ResumeRebuild();
}

void TcdStacker::DeletePlaylist(const TtagPlaylist *playlist)
{
    TtagPlaylist *own = ownPlaylist(playlist);
    if (!own)
        return;
    changing();
    m_library.PlaylistCollection().RemovePlaylist(own);
    changed();
}

void TcdStacker::Empty()
{
    changing();
    m_library.PlaylistCollection().Clear();
    m_library.SuspendRebuild();
    m_library.Clear();
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

TcartridgeCheck TcdStacker::CheckCartridge(const QString &fileName) const
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        return ccUnreadable;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return ccUnreadable;
    if (data.isEmpty())
        return QuietFileExists(CartridgeIndexFile(fileName)) ? ccOk : ccEmpty;
    TtrackListReader reader(data);
    return reader.Next() ? ccOk : ccDamaged;
}

TcartridgeCheck TcdStacker::loadCartridge(const QString &fileName, bool append)
{
    // Checked first: a bad file must not cost the stacker what it holds.
    const TcartridgeCheck check = CheckCartridge(fileName);
    if (check != ccOk)
        return check;
    m_library.SuspendRebuild();
    if (!append) {
        m_library.PlaylistCollection().Clear();
        m_library.Clear();
    }
    m_library.PlaylistCollection().LoadIndex(CartridgeIndexFile(fileName), m_dataFolder, true);
    m_library.MasterList().LoadListFile(fileName, true);
    m_library.ResumeRebuild();
    return ccOk;
}

TcartridgeCheck TcdStacker::LoadCartridge(const QString &fileName)
{
    return loadCartridge(fileName, false);
}

TcartridgeCheck TcdStacker::AddCartridge(const QString &fileName)
{
    return loadCartridge(fileName, true);
}

void TcdStacker::LoadFiles(std::vector<TfileProblem> *problems)
{
    const QString masterFile = m_dataFolder + QStringLiteral("/stacker.dat");
    if (!QuietFileExists(masterFile))
        return;
    m_library.SuspendRebuild();
    m_library.PlaylistCollection().LoadIndex(m_dataFolder + QStringLiteral("/stackerpl.dat"), m_dataFolder, false,
                                             problems);
    TlistFileReport report;
    m_library.MasterList().LoadListFile(masterFile, false, QString(), &report);
    if (problems && !report.Problem().isEmpty())
        problems->push_back(TfileProblem{masterFile, report.Problem()});
    m_library.ResumeRebuild();
}

bool TcdStacker::SaveFiles(std::vector<TfileProblem> *failures)
{
    const QString masterFile = m_dataFolder + QStringLiteral("/stacker.dat");
    QString error;
    bool saved = m_library.MasterList().SaveListFile(masterFile, QString(), &error);
    if (!saved && failures)
        failures->push_back(TfileProblem{masterFile, error});
    // Tried whatever became of stacker.dat: each file that can be saved is.
    return m_library.PlaylistCollection().SaveIndex(m_dataFolder + QStringLiteral("/stackerpl.dat"), m_dataFolder,
                                                    failures)
           && saved;
}

int TcdStacker::IndexAlbumCount() const
{
    return m_library.AlbumList().Count();
}

int TcdStacker::AlbumCount() const
{
    return IndexAlbumCount() + m_library.PlaylistCollection().Count();
}

double TcdStacker::PlayTime() const
{
    return PlayList().TotalDuration();
}

QStringList TcdStacker::StatusTexts() const
{
    const TtagPlaylist &list = PlayList();
    return {QStringLiteral("Tracks : %1").arg(list.Count()),
            QStringLiteral("Duration : ") + FormatHourMinSec(qint64(list.TotalDuration() / 1000.0)),
            QStringLiteral("Artists : %1").arg(list.ArtistCount()),
            QStringLiteral("Albums : %1").arg(IndexAlbumCount()),
            QStringLiteral("Playlists : %1").arg(m_library.PlaylistCollection().Count())};
}

QString TcdStacker::Title(bool enabled, const QString &currentAlbum) const
{
    if (!enabled)
        return QString();
    if (IndexAlbumCount() == 0)
        return QStringLiteral("Empty");
    return currentAlbum.isEmpty() ? QStringLiteral("Inactive") : currentAlbum;
}
