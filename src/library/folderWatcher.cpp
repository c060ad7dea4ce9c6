#include "library/folderWatcher.h"

#include "library/pendingChanges.h"
#include "library/vorlenScanThread.h"
#include "library/watchTable.h"
#include "platform/fileHandles.h"
#include "platform/fileNames.h"
#include "platform/raiseEvent.h"

#include <QSet>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = TpendingChanges::Clock;
using Time = TpendingChanges::Time;

constexpr uint32_t kFolderEvents = IN_CREATE | IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_MOVED_FROM | IN_MOVED_TO
    | IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;
// A rename is two events with one cookie, nearly always read together; a
// first half left alone this long was a move out of the watched tree.
constexpr std::chrono::milliseconds kRenamePairing { 100 };
// Listings go to the owner this many folders at a time.
constexpr size_t kListingBatch = 256;
// Files asked for are read for this long, then what was read goes to the
// owner: often enough to show progress, seldom enough that the library's
// rebuild after each piece costs little.
constexpr std::chrono::milliseconds kReadPiece { 1000 };

QString decoded(const std::string &path)
{
    return DecodeFileName(QByteArrayView(path.data(), qsizetype(path.size())));
}

std::string encodedFolder(const QString &folder)
{
    const QByteArray encoded = EncodeFileName(folder);
    std::string path(encoded.constData(), size_t(encoded.size()));
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

// The file system's identity of a folder: another folder under the same name
// (a mount, a mount point left behind) has another.
struct FolderIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FolderIdentity &) const = default;
};

bool identify(const std::string &folder, FolderIdentity &identity)
{
    struct stat info { };
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    identity = FolderIdentity { info.st_dev, info.st_ino };
    return true;
}

} // namespace

// The worker's side: the inotify instance, the walks, the pending changes.
// Everything here belongs to the worker thread, except what the owner's
// thread reaches through TfolderWatcher's hand-over and read requests.
class TfolderWatcher::Worker {
public:
    Worker(TfolderWatcher &owner, const QStringList &folders)
        : m_owner(owner)
    {
        for (const QString &entry : QString::fromLatin1(kMusicExtensions).split(u';'))
            m_extensions.push_back(entry.toLower().toStdString());
        for (const QString &folder : folders)
            m_trees.push_back(Tree { encodedFolder(folder), {}, true, true });
    }

    // Owner's thread.
    void RequestStop()
    {
        m_stop.store(true);
        Wake();
    }
    void Wake()
    {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wake.Get(), &one, sizeof one);
    }

    void Run()
    {
        if (!m_inotify.Valid() || !m_wake.Valid())
            return;
        const Time start = Clock::now();
        m_nextRootCheck = start + m_owner.m_rootCheckInterval;
        m_nextRescan = start + m_owner.m_rescanInterval;
        for (Tree &tree : m_trees)
            listTree(tree);
        flushListings();
        reportLimit();
        while (!m_stop.load()) {
            pollOnce();
            if (m_stop.load())
                break;
            const Time now = Clock::now();
            pairRenames(now);
            if (m_pending.Due(now))
                deliver(m_pending.Take(now));
            takeReadRequests();
            if (now >= m_nextRootCheck) {
                checkTrees();
                m_nextRootCheck = now + m_owner.m_rootCheckInterval;
            }
            if (now >= m_nextRescan) {
                rescanUnwatched();
                m_nextRescan = now + m_owner.m_rescanInterval;
            }
            flushListings();
            reportLimit();
        }
    }

private:
    // A music folder, or a folder below one that was lost once (a mount
    // unmounted): looked at regularly to see whether it is gone, back, or
    // another folder now (mounted again).
    struct Tree {
        std::string path;
        FolderIdentity identity;
        bool lost = false;
        bool root = false;
    };
    // The first half of a rename, waiting for its second.
    struct RenameStart {
        uint32_t cookie;
        std::string path;
        bool folder;
        Time when;
    };

    void pollOnce()
    {
        const Time now = Clock::now();
        Time next = std::min({ m_pending.NextDue(), m_nextRootCheck, m_nextRescan });
        if (!m_toRead.empty())
            next = now;
        if (!m_renames.empty())
            next = std::min(next, m_renames.front().when + kRenamePairing);
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - now).count();
        pollfd fds[2] = { { m_inotify.Get(), POLLIN, 0 }, { m_wake.Get(), POLLIN, 0 } };
        if (::poll(fds, 2, int(std::clamp<long long>(wait + 1, 0, 60000))) <= 0)
            return;
        if (fds[1].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t read = ::read(m_wake.Get(), &count, sizeof count);
        }
        if (fds[0].revents & POLLIN)
            readEvents();
    }

    void readEvents()
    {
        alignas(inotify_event) char buffer[64 * 1024];
        for (;;) {
            const ssize_t length = ::read(m_inotify.Get(), buffer, sizeof buffer);
            if (length <= 0)
                return;
            for (ssize_t offset = 0; offset < length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + offset);
                handle(*event);
                offset += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }

    void handle(const inotify_event &event)
    {
        const Time now = Clock::now();
        if (event.mask & IN_Q_OVERFLOW) {
            // Events were lost: every folder is listed again, which finds
            // whatever they would have said.
            for (Tree &tree : m_trees)
                if (!tree.lost)
                    relist(tree);
            return;
        }
        if (event.mask & IN_IGNORED) {
            m_watches.Forget(event.wd);
            m_owner.m_watched.store(int(m_watches.Count()));
            return;
        }
        const std::string *watched = m_watches.FolderOf(event.wd);
        if (!watched)
            return;
        const std::string folder = *watched;
        if (event.mask & IN_UNMOUNT) {
            lose(folder, now);
            return;
        }
        if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
            // A folder below a music folder goes with its parent's event; a
            // music folder itself is lost.
            if (Tree *tree = treeAt(folder); tree && tree->root)
                lose(folder, now);
            return;
        }
        if (event.len == 0)
            return;
        const std::string path = folder + event.name;
        const bool isFolder = event.mask & IN_ISDIR;
        if (event.mask & IN_MOVED_FROM) {
            // A folder already found under its new name (see movedHere) is
            // done with.
            if (isFolder && m_watches.WatchOf(path + '/') < 0
                && std::find(m_unwatched.begin(), m_unwatched.end(), path + '/') == m_unwatched.end())
                return;
            m_renames.push_back(RenameStart { event.cookie, isFolder ? path + '/' : path, isFolder, now });
            return;
        }
        if (event.mask & IN_MOVED_TO) {
            movedTo(event.cookie, isFolder ? path + '/' : path, isFolder, now);
            return;
        }
        if (isFolder) {
            if (event.mask & IN_CREATE)
                walkNew(path + '/', false, now);
            else if (event.mask & IN_DELETE)
                removeFolder(path + '/', now);
            return;
        }
        if (!musicFile(path))
            return;
        if (event.mask & IN_DELETE)
            m_pending.Removed(decoded(path), now);
        else if (event.mask & IN_CLOSE_WRITE)
            m_pending.Written(decoded(path), true, now);
        else if (event.mask & (IN_CREATE | IN_MODIFY | IN_ATTRIB))
            m_pending.Written(decoded(path), false, now);
    }

    void movedTo(uint32_t cookie, const std::string &to, bool folder, Time now)
    {
        const auto start = std::find_if(
            m_renames.begin(), m_renames.end(), [&](const RenameStart &r) { return r.cookie == cookie; });
        if (start == m_renames.end()) {
            // Moved in from outside the watched tree: new, and complete.
            if (folder)
                walkNew(to, true, now);
            else if (musicFile(to))
                m_pending.Written(decoded(to), true, now);
            return;
        }
        const std::string from = start->path;
        m_renames.erase(start);
        if (folder) {
            m_watches.Rename(from, to);
            renameTrees(from, to);
            m_pending.Moved(decoded(from), decoded(to), true, now);
            return;
        }
        const bool wasMusic = musicFile(from);
        const bool isMusic = musicFile(to);
        if (wasMusic && isMusic)
            m_pending.Moved(decoded(from), decoded(to), false, now);
        else if (wasMusic)
            m_pending.Removed(decoded(from), now);
        else if (isMusic)
            m_pending.Written(decoded(to), true, now);
    }

    // First halves of renames whose second half did not come: moves out of
    // the watched tree.
    void pairRenames(Time now)
    {
        while (!m_renames.empty() && now - m_renames.front().when >= kRenamePairing) {
            const RenameStart start = m_renames.front();
            m_renames.pop_front();
            if (start.folder)
                removeFolder(start.path, now);
            else if (musicFile(start.path))
                m_pending.Removed(decoded(start.path), now);
        }
    }

    void removeFolder(const std::string &folder, Time now)
    {
        unwatchBelow(folder);
        std::erase_if(m_unwatched, [&](const std::string &f) { return f.starts_with(folder); });
        m_pending.RemovedFolder(decoded(folder), now);
    }

    // A folder gone as a whole: below it, nothing is watched any more, and it
    // is looked for from now on.
    void lose(const std::string &folder, Time now)
    {
        unwatchBelow(folder);
        std::erase_if(m_unwatched, [&](const std::string &f) { return f.starts_with(folder); });
        Tree *tree = treeAt(folder);
        if (!tree) {
            m_trees.push_back(Tree { folder, {}, true, false });
            tree = &m_trees.back();
        }
        tree->lost = true;
        m_pending.Lost(decoded(folder), now);
    }

    Tree *treeAt(const std::string &folder)
    {
        for (Tree &tree : m_trees)
            if (tree.path == folder)
                return &tree;
        return nullptr;
    }

    void renameTrees(const std::string &from, const std::string &to)
    {
        for (Tree &tree : m_trees)
            if (!tree.root && tree.path.starts_with(from))
                tree.path = to + tree.path.substr(from.size());
        for (std::string &folder : m_unwatched)
            if (folder.starts_with(from))
                folder = to + folder.substr(from.size());
    }

    void unwatchBelow(const std::string &folder)
    {
        for (const int wd : m_watches.TakeBelow(folder))
            ::inotify_rm_watch(m_inotify.Get(), wd);
        m_owner.m_watched.store(int(m_watches.Count()));
    }

    // Watches a folder; false when it cannot be, for the limit (it is then
    // kept to be looked through regularly) or because it is gone.
    bool watch(const std::string &folder)
    {
        if (m_watches.WatchOf(folder) >= 0)
            return true;
        const bool limited = full();
        const int wd = limited ? -1 : ::inotify_add_watch(m_inotify.Get(), folder.c_str(), kFolderEvents);
        if (wd < 0) {
            if (limited || errno == ENOSPC) {
                if (std::find(m_unwatched.begin(), m_unwatched.end(), folder) == m_unwatched.end())
                    m_unwatched.push_back(folder);
                m_limitReached = true;
            }
            return false;
        }
        addWatch(wd, folder);
        return true;
    }

    bool full() const { return m_owner.m_watchLimit > 0 && int(m_watches.Count()) >= m_owner.m_watchLimit; }

    void addWatch(int wd, const std::string &folder)
    {
        m_watches.Add(wd, folder);
        m_owner.m_watched.store(int(m_watches.Count()));
    }

    // Goes through a folder and every folder below it, watching each. With
    // a listing, each folder's music files are listed for the owner; for a
    // folder new to the tree, each is pending as written instead (complete
    // when it was moved in, to be waited for when the folder was made).
    enum class Walk { List, NewFolder, MovedIn };
    void walk(const std::string &folder, Walk how, Time now)
    {
        if (m_stop.load())
            return;
        if (how != Walk::List && movedHere(folder, now))
            return;
        watch(folder);
        const DirPtr dir(::opendir(folder.c_str()));
        if (!dir)
            return;
        TfolderListing listing;
        listing.folder = decoded(folder);
        std::vector<std::string> subfolders;
        const int fd = ::dirfd(dir.get());
        while (const dirent *entry = ::readdir(dir.get())) {
            const char *name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
                continue;
            struct stat info { };
            if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            // A link to a folder is not followed below a music folder: it
            // could lead in a circle.
            if (S_ISDIR(info.st_mode)) {
                subfolders.push_back(folder + name + '/');
                continue;
            }
            const std::string path = folder + name;
            if (!musicFile(path))
                continue;
            if (S_ISLNK(info.st_mode) && (::fstatat(fd, name, &info, 0) != 0 || !S_ISREG(info.st_mode)))
                continue;
            if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode))
                continue;
            if (how == Walk::List)
                listing.files.push_back(
                    { DecodeFileName(QByteArrayView(name)), WinFileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec) });
            else
                m_pending.Written(decoded(path), how == Walk::MovedIn, now);
        }
        if (how == Walk::List) {
            m_listings.listings.push_back(std::move(listing));
            if (m_listings.listings.size() >= kListingBatch)
                flushListings();
        }
        for (const std::string &subfolder : subfolders)
            walk(subfolder, how, now);
    }

    // A folder new to the tree that the kernel already watches under
    // another name was moved here from there: its rename reached a folder
    // before its new parent was watched (a folder made and an album moved
    // into it at once), so only the first half of the rename was seen.
    bool movedHere(const std::string &folder, Time now)
    {
        const int wd = ::inotify_add_watch(m_inotify.Get(), folder.c_str(), kFolderEvents | IN_MASK_ADD);
        if (wd < 0)
            return false;
        const std::string *known = m_watches.FolderOf(wd);
        if (!known) {
            // A folder the kernel did not watch yet: watched as any other,
            // within the limit.
            if (full())
                ::inotify_rm_watch(m_inotify.Get(), wd);
            else
                addWatch(wd, folder);
            return false;
        }
        if (*known == folder)
            return false;
        const std::string from = *known;
        std::erase_if(m_renames, [&](const RenameStart &start) { return start.path == from; });
        m_watches.Rename(from, folder);
        renameTrees(from, folder);
        m_pending.Moved(decoded(from), decoded(folder), true, now);
        return true;
    }

    void walkNew(const std::string &folder, bool movedIn, Time now)
    {
        walk(folder, movedIn ? Walk::MovedIn : Walk::NewFolder, now);
    }

    // Lists a tree anew (at the start, when it comes back, when it is
    // another folder now), watching what is below it.
    void listTree(Tree &tree)
    {
        if (!identify(tree.path, tree.identity)) {
            if (!tree.lost || tree.root) {
                tree.lost = true;
                m_pending.Lost(decoded(tree.path), Clock::now());
            }
            return;
        }
        tree.lost = false;
        walk(tree.path, Walk::List, Clock::now());
        m_listings.listedTrees.append(decoded(tree.path));
    }

    void relist(Tree &tree)
    {
        unwatchBelow(tree.path);
        std::erase_if(m_unwatched, [&](const std::string &f) { return f.starts_with(tree.path); });
        listTree(tree);
    }

    void checkTrees()
    {
        for (size_t i = 0; i < m_trees.size(); ++i) {
            Tree &tree = m_trees[i];
            FolderIdentity now;
            const bool present = identify(tree.path, now);
            if (tree.lost) {
                if (present)
                    listTree(tree);
            } else if (!present) {
                lose(tree.path, Clock::now());
            } else if (!(now == tree.identity)) {
                relist(tree);
            }
        }
    }

    void rescanUnwatched()
    {
        const std::vector<std::string> folders = std::move(m_unwatched);
        m_unwatched.clear();
        for (const std::string &folder : folders) {
            FolderIdentity identity;
            if (!identify(folder, identity)) {
                m_pending.RemovedFolder(decoded(folder), Clock::now());
                continue;
            }
            // Watched now, if there is room; listed either way, with any new
            // folder below it.
            walk(folder, Walk::List, Clock::now());
            m_listings.listedTrees.append(decoded(folder));
        }
    }

    bool musicFile(const std::string &path) const
    {
        const size_t dot = path.rfind('.');
        const size_t slash = path.rfind('/');
        if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
            return false;
        const std::string_view extension = std::string_view(path).substr(dot + 1);
        for (const std::string &known : m_extensions) {
            if (known.size() == extension.size()
                && std::equal(known.begin(), known.end(), extension.begin(),
                    [](char a, char b) { return a == char(std::tolower(uchar(b))); }))
                return true;
        }
        return false;
    }

    // Reads what the owner asked for, a piece at a time: events are taken
    // between pieces, and the library fills in as the files are read (a
    // music folder of thousands of files found at the first start).
    void takeReadRequests()
    {
        QStringList paths;
        {
            std::lock_guard lock(m_owner.m_requestLock);
            paths.swap(m_owner.m_readRequests);
        }
        for (const QString &path : paths) {
            if (!m_toReadSet.contains(path)) {
                m_toReadSet.insert(path);
                m_toRead.push_back(path);
            }
        }
        if (m_toRead.empty())
            return;
        TfolderChanges changes;
        const Time until = Clock::now() + kReadPiece;
        while (!m_toRead.empty() && Clock::now() < until && !m_stop.load()) {
            const QString path = m_toRead.front();
            m_toRead.pop_front();
            m_toReadSet.remove(path);
            changes.written.push_back(TwrittenFile { path, readRecord(path) });
        }
        flushListings();
        m_owner.m_notices.Post(std::move(changes));
    }

    // Reads the records of the written files, then hands the batch over.
    void deliver(TfolderChanges changes)
    {
        for (TwrittenFile &file : changes.written) {
            if (m_stop.load())
                return;
            file.record = readRecord(file.path);
        }
        flushListings();
        if (!changes.IsEmpty())
            m_owner.m_notices.Post(std::move(changes));
    }

    static std::unique_ptr<TcustomTagger> readRecord(const QString &path)
    {
        struct stat info { };
        if (::stat(EncodeFileName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
            return nullptr;
        std::unique_ptr<TcustomTagger> record = CreateTaggerForFile(path);
        if (!record)
            return nullptr;
        try {
            record->LoadFromFile(path);
            record->SetReadFrameHeaders(true);
        } catch (const std::exception &) {
            return nullptr;
        }
        return record;
    }

    void flushListings()
    {
        if (m_listings.IsEmpty())
            return;
        m_owner.m_notices.Post(std::move(m_listings));
        m_listings = TfolderChanges();
    }

    void reportLimit()
    {
        if (!m_limitReached || m_limitReported)
            return;
        m_limitReported = true;
        m_owner.m_notices.Post(int(m_unwatched.size()));
    }

    TfolderWatcher &m_owner;
    std::atomic<bool> m_stop { false };
    const TuniqueFd m_inotify { ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC) };
    const TuniqueFd m_wake { ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC) };
    std::vector<std::string> m_extensions;
    std::vector<Tree> m_trees;
    TwatchTable m_watches;
    std::vector<std::string> m_unwatched;
    bool m_limitReached = false;
    bool m_limitReported = false;
    std::deque<RenameStart> m_renames;
    TpendingChanges m_pending;
    TfolderChanges m_listings;
    // Files the owner asked to read, in the order asked.
    std::deque<QString> m_toRead;
    QSet<QString> m_toReadSet;
    Time m_nextRootCheck;
    Time m_nextRescan;
};

TfolderWatcher::TfolderWatcher()
{
    m_notices.OnDeliver = [this](Notice &notice) { deliver(notice); };
}

TfolderWatcher::~TfolderWatcher()
{
    Stop();
}

void TfolderWatcher::Start(const QStringList &folders)
{
    Stop();
    m_worker = std::make_unique<Worker>(*this, folders);
    m_thread = std::thread([worker = m_worker.get()] { worker->Run(); });
}

void TfolderWatcher::Stop()
{
    if (m_thread.joinable()) {
        m_worker->RequestStop();
        m_thread.join();
    }
    m_worker.reset();
    m_watched.store(0);
    m_notices.Clear();
    std::lock_guard lock(m_requestLock);
    m_readRequests.clear();
}

void TfolderWatcher::Read(const QStringList &paths)
{
    if (!m_worker || paths.isEmpty())
        return;
    {
        std::lock_guard lock(m_requestLock);
        m_readRequests.append(paths);
    }
    m_worker->Wake();
}

void TfolderWatcher::deliver(Notice &notice)
{
    if (TfolderChanges *changes = std::get_if<TfolderChanges>(&notice))
        RaiseEvent(OnChanges, *changes);
    else
        RaiseEvent(OnWatchLimit, std::get<int>(notice));
}
