#include "library/libraryUpdater.h"

#include "library/libraryEdit.h"
#include "library/mp3JukeBoxLists.h"
#include "platform/raiseEvent.h"

#include <QHash>
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace {

struct TextHash {
    size_t operator()(const QString &text) const noexcept { return qHash(text); }
};

// The record takes the published data of a fresh record of its file, as a
// cache would give it back: the record itself stays, with all its holders.
void takeData(TcustomTagger &record, const TcustomTagger &fresh)
{
    if (std::strcmp(record.ClassName(), fresh.ClassName()) != 0)
        return;
    for (const TaggerProperty &p : fresh.Properties()) {
        switch (p.kind) {
        case TaggerPropertyKind::Integer:
        case TaggerPropertyKind::Enumeration:
            p.setInteger(record, p.getInteger(fresh));
            break;
        case TaggerPropertyKind::Float:
            p.setFloat(record, p.getFloat(fresh));
            break;
        case TaggerPropertyKind::String:
            p.setString(record, p.getString(fresh));
            break;
        case TaggerPropertyKind::Boolean:
            p.setBoolean(record, p.getBoolean(fresh));
            break;
        }
    }
}

QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(u'/') + 1);
}

QString nameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

} // namespace

// The library's records by folder, as the updater needs them to find the
// records of a path or of a folder and below. Built when first needed and
// kept while the master list's records stay the ones it was built from, kept
// up to date by the updater's own changes: a batch costs what it changes,
// not a look at every record.
class TlibraryUpdater::Index {
public:
    explicit Index(const TcustomTaggerList &list)
    {
        // The records of a folder share its text: most records cost a look-up
        // by the text's storage, not by the text.
        std::unordered_map<const QChar *, std::vector<TcustomTagger *> *> byStorage;
        for (TcustomTagger *record : list.Records()) {
            const QString &folder = record->Folder();
            std::vector<TcustomTagger *> *&bucket = byStorage[folder.constData()];
            if (!bucket)
                bucket = &m_folders[folder];
            bucket->push_back(record);
        }
        m_changes = list.Changes();
    }

    bool Current(const TcustomTaggerList &list) const { return m_changes == list.Changes(); }
    // The list changed by the updater's own hand, and the index with it.
    void Follow(const TcustomTaggerList &list) { m_changes = list.Changes(); }

    std::vector<TcustomTagger *> In(const QString &folder) const
    {
        const auto found = m_folders.find(folder);
        return found == m_folders.end() ? std::vector<TcustomTagger *>() : found->second;
    }

    std::vector<TcustomTagger *> At(const QString &path) const
    {
        std::vector<TcustomTagger *> records = In(folderOf(path));
        const QString name = nameOf(path);
        std::erase_if(records, [&](const TcustomTagger *r) { return r->NameInFolder() != name; });
        return records;
    }

    template <typename Visit> void ForEachBelow(const QString &folder, Visit visit) const
    {
        for (const auto &[text, records] : m_folders) {
            if (text.startsWith(folder)) {
                for (TcustomTagger *record : records)
                    visit(*record);
            }
        }
    }

    // The folders known below a folder.
    QStringList FoldersBelow(const QString &folder) const
    {
        QStringList folders;
        for (const auto &entry : m_folders)
            if (entry.first.startsWith(folder))
                folders.append(entry.first);
        return folders;
    }

    // Files a record new to the library (or read again) under its folder;
    // it takes the block of texts of a record there whose texts are its own,
    // so the tracks of an album share one as they do after a load.
    void File(TcustomTagger &record)
    {
        std::vector<TcustomTagger *> &records = m_folders[record.Folder()];
        const TtaggerTexts &texts = *record.Texts();
        for (const TcustomTagger *other : records) {
            const TtaggerTexts &shared = *other->Texts();
            if (&shared != &texts && shared.artist == texts.artist && shared.album == texts.album
                && shared.date == texts.date && shared.genre == texts.genre && shared.folder == texts.folder) {
                record.SetTexts(other->Texts());
                break;
            }
        }
        if (std::find(records.begin(), records.end(), &record) == records.end())
            records.push_back(&record);
    }

    void Forget(TcustomTagger &record)
    {
        const auto bucket = m_folders.find(record.Folder());
        if (bucket == m_folders.end())
            return;
        std::erase(bucket->second, &record);
        if (bucket->second.empty())
            m_folders.erase(bucket);
    }

    void MoveFile(TcustomTagger &record, const QString &to)
    {
        std::erase(m_folders[record.Folder()], &record);
        record.SetFilename(to);
        m_folders[record.Folder()].push_back(&record);
    }

    // Renames a folder and those below it: the records that shared a block
    // of texts share the renamed one.
    void MoveFolder(const QString &from, const QString &to)
    {
        for (const QString &folder : FoldersBelow(from)) {
            std::vector<TcustomTagger *> records = std::move(m_folders[folder]);
            m_folders.erase(folder);
            const QString renamed = to + folder.mid(from.size());
            std::unordered_map<const TtaggerTexts *, TtaggerTextsRef> renamedBlocks;
            for (TcustomTagger *record : records) {
                TtaggerTextsRef &block = renamedBlocks[record->Texts().constData()];
                if (block) {
                    record->SetTexts(block);
                } else {
                    record->SetFilenameParts(renamed, record->NameInFolder());
                    block = record->Texts();
                }
            }
            std::vector<TcustomTagger *> &target = m_folders[renamed];
            target.insert(target.end(), records.begin(), records.end());
        }
    }

private:
    std::unordered_map<QString, std::vector<TcustomTagger *>, TextHash> m_folders;
    quint64 m_changes = 0;
};


TlibraryUpdater::~TlibraryUpdater() = default;

TlibraryUpdater::Index &TlibraryUpdater::index()
{
    if (!m_index || !m_index->Current(m_library.MasterList()))
        m_index = std::make_unique<Index>(m_library.MasterList());
    return *m_index;
}

TlibraryUpdater::TlibraryUpdater(Tmp3JukeBoxLists &library)
    : m_library(library)
{
}

TlibraryUpdater::Tresult TlibraryUpdater::Apply(TfolderChanges &changes)
{
    Tresult result;
    if (changes.IsEmpty())
        return result;
    Index &batch = index();
    TlibraryEdit edit(m_library);
    const auto markUnavailable = [&](TcustomTagger &record, bool unavailable) {
        if (record.Unavailable() == unavailable)
            return;
        edit.SetUnavailable(record, unavailable);
        result.availability = true;
    };

    for (const QString &folder : changes.lostFolders) {
        if (!m_lost.contains(folder))
            m_lost.append(folder);
        batch.ForEachBelow(folder, [&](TcustomTagger &record) { markUnavailable(record, true); });
    }

    std::unordered_set<TcustomTagger *> gone;
    for (const TmovedPath &move : changes.moves) {
        if (move.folder) {
            if (batch.FoldersBelow(move.from).isEmpty())
                continue;
            batch.ForEachBelow(move.from, [&](TcustomTagger &record) { edit.Move(record); });
            batch.MoveFolder(move.from, move.to);
            result.changed = true;
            continue;
        }
        const std::vector<TcustomTagger *> moving = batch.At(move.from);
        if (moving.empty())
            continue;
        // A rename over another file replaces it.
        for (TcustomTagger *replaced : batch.At(move.to))
            gone.insert(replaced);
        for (TcustomTagger *record : moving) {
            edit.Move(*record);
            batch.MoveFile(*record, move.to);
        }
        result.changed = true;
    }

    for (const QString &folder : changes.removedFolders)
        batch.ForEachBelow(folder, [&](TcustomTagger &record) { gone.insert(&record); });
    for (const QString &path : changes.removedFiles)
        for (TcustomTagger *record : batch.At(path))
            gone.insert(record);

    for (TwrittenFile &file : changes.written) {
        if (!file.record)
            continue;
        std::vector<TcustomTagger *> known = batch.At(file.path);
        std::erase_if(known, [&](TcustomTagger *r) { return gone.count(r) > 0; });
        result.changed = true;
        if (known.empty()) {
            TcustomTagger *added = file.record.release();
            edit.Add(added);
            batch.File(*added);
            continue;
        }
        for (TcustomTagger *record : known) {
            edit.Change(*record);
            takeData(*record, *file.record);
            edit.SetUnavailable(*record, false);
            batch.File(*record);
        }
    }

    for (const TfolderListing &listing : changes.listings) {
        m_listed.insert(listing.folder);
        QHash<QString, WinFileTime> files;
        for (const TfolderListing::File &file : listing.files)
            files.insert(file.name, file.time);
        for (TcustomTagger *record : batch.In(listing.folder)) {
            const auto listed = files.constFind(record->NameInFolder());
            if (listed == files.constEnd()) {
                markUnavailable(*record, true);
                continue;
            }
            markUnavailable(*record, false);
            if (!(*listed == WinFileTime { record->ModDateHigh(), record->ModDateLow() }))
                result.toRead.append(record->Filename());
            files.remove(record->NameInFolder());
        }
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            result.toRead.append(listing.folder + it.key());
    }
    for (const QString &tree : changes.listedTrees) {
        m_lost.removeIf([&](const QString &lost) { return lost.startsWith(tree); });
        batch.ForEachBelow(tree, [&](TcustomTagger &record) {
            if (!m_listed.contains(record.Folder()))
                markUnavailable(record, true);
        });
        m_listed.removeIf([&](const QString &listed) { return listed.startsWith(tree); });
    }

    for (TcustomTagger *record : gone) {
        RaiseEvent(OnRemoving, *record);
        edit.Remove(*record);
        batch.Forget(*record);
        result.changed = true;
    }
    edit.Commit();
    batch.Follow(m_library.MasterList());
    return result;
}

bool TlibraryUpdater::MarkLost()
{
    if (m_lost.isEmpty())
        return false;
    Index &batch = index();
    TlibraryEdit edit(m_library);
    bool marked = false;
    for (const QString &folder : m_lost) {
        batch.ForEachBelow(folder, [&](TcustomTagger &record) {
            if (record.Unavailable())
                return;
            edit.SetUnavailable(record, true);
            marked = true;
        });
    }
    edit.Commit();
    batch.Follow(m_library.MasterList());
    return marked;
}
