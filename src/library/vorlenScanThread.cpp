#include "library/vorlenScanThread.h"

#include "metadata/customTagger.h"
#include "platform/fileHandles.h"
#include "platform/fileNames.h"
#include "platform/mountTable.h"
#include "platform/raiseEvent.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <dirent.h>
#include <exception>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <system_error>
#include <sys/stat.h>

namespace {

using Clock = std::chrono::steady_clock;

// A batch is handed over when it holds this many findings or has waited this
// long, whichever comes first: large enough that the hand-over costs nothing
// per file, small enough that the window shows progress as it happens.
constexpr size_t kBatchSize = 256;
constexpr auto kBatchDelay = std::chrono::milliseconds(100);
// Undelivered batches a worker may have before it waits for the GUI thread.
constexpr int kBatchesInFlight = 4;
// How often a folder that holds nothing new is shown: a window cannot show
// more than a few a second.
constexpr auto kFolderDelay = std::chrono::milliseconds(250);

bool isAscii(std::string_view text)
{
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

// The worker's side of a run: walks the folders depth first, each subfolder
// scanned at once before the next entry, and collects findings into batches.
class TvorlenScanThread::Walker {
public:
    Walker(TvorlenScanThread &scan, TunmountedMountPoints unmounted)
        : m_scan(scan)
        , m_unmounted(std::move(unmounted))
    {
        for (const QString &entry : scan.m_extensions) {
            const QByteArray utf8 = entry.toUtf8();
            if (isAscii(std::string_view(utf8.constData(), size_t(utf8.size()))))
                m_asciiExtensions.push_back(utf8);
        }
    }

    // A folder of the folder list.
    void scanFolder(const QString &folder)
    {
        m_listedHasMusic = m_scan.FoldersWithMusic.contains(folder);
        const QByteArray encoded = EncodeFileName(folder);
        m_path.assign(encoded.constData(), size_t(encoded.size()));
        // A folder of the list ends in "/"; the paths made below it join
        // their own "/", and a file straight in it must not get two: its
        // name is the one the folder watch and the caches give it.
        while (m_path.size() > 1 && m_path.back() == '/')
            m_path.pop_back();
        scanDirectory(AT_FDCWD, m_path.c_str(), true);
    }

    // Posts what is left; a run that found nothing still posts once, so
    // that the GUI thread hears that it started.
    void finish()
    {
        if (!m_batch.empty() || !m_posted)
            post();
    }

private:
    // m_path is the folder's path; name opens it relative to parentFd. A
    // listed folder may be a symbolic link; a subfolder reached through one
    // is not entered, so that a link cannot lead the scan in a circle.
    void scanDirectory(int parentFd, const char *name, bool listed)
    {
        beginFolder(listed);
        if (m_unmounted.Contains(m_path)) {
            missingFolder();
            return;
        }
        TuniqueFd opened(::openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | (listed ? 0 : O_NOFOLLOW)));
        if (!opened.Valid()) {
            folderFailed(listed, errno);
            return;
        }
        const DirPtr dir(::fdopendir(opened.Get()));
        if (!dir) {
            folderFailed(listed, errno);
            return;
        }
        // The listing closes the descriptor.
        const int fd = opened.Release();
        const size_t folderLength = m_path.size();
        m_path += '/';
        const TknownFolder *known = m_scan.KnownFiles.FindFolder(m_path);
        m_path.resize(folderLength);
        QString folderText;
        bool holdsAnything = false;
        while (!m_scan.isInterruptionRequested()) {
            flushIfDue();
            errno = 0;
            const dirent *entry = ::readdir(dir.get());
            if (!entry) {
                // A listing cut short hides what the folder holds: as
                // unreadable as a folder that cannot be opened.
                if (errno != 0)
                    unreadable(m_path, errno);
                break;
            }
            const char *entryName = entry->d_name;
            if (std::strcmp(entryName, ".") == 0 || std::strcmp(entryName, "..") == 0)
                continue;
            holdsAnything = true;
            // The listing's file type spares a stat for folders and for files
            // of other types; some file systems leave it unknown.
            unsigned char type = entry->d_type;
            struct stat info { };
            bool haveInfo = false;
            if (type == DT_UNKNOWN) {
                if (::fstatat(fd, entryName, &info, AT_SYMLINK_NOFOLLOW) != 0)
                    continue;
                type = IFTODT(info.st_mode);
                haveInfo = type != DT_LNK;
            }
            if (type == DT_DIR) {
                if (m_scan.Recursive) {
                    if (m_path.empty() || m_path.back() != '/')
                        m_path += '/';
                    m_path += entryName;
                    scanDirectory(fd, entryName, false);
                    m_path.resize(folderLength);
                }
                continue;
            }
            if ((type != DT_REG && type != DT_LNK) || !accepted(entryName))
                continue;
            // A file that vanished since the listing, or a link to nothing, is
            // not there to be added or re-read.
            if (!haveInfo && ::fstatat(fd, entryName, &info, 0) != 0)
                continue;
            if (!S_ISREG(info.st_mode))
                continue;
            foundFile(fd, known, folderText, entryName, WinFileTimeFromUnix(info.st_mtim.tv_sec, info.st_mtim.tv_nsec));
        }
        // A scan that took a drive's empty mount point for music deleted
        // would lose every queue entry, hold and measurement of its tracks.
        if (listed && m_listedHasMusic && !holdsAnything && !m_scan.isInterruptionRequested())
            missingFolder();
    }

    void missingFolder() { m_batch.push_back(Finding { Finding::fkMissingFolder, decodedPath(), {}, -1 }); }

    bool accepted(std::string_view name) const
    {
        const size_t dot = name.rfind('.');
        if (dot == std::string_view::npos)
            return false;
        const std::string_view extension = name.substr(dot + 1);
        if (isAscii(extension)) {
            const QByteArrayView view(extension.data(), qsizetype(extension.size()));
            for (const QByteArray &entry : m_asciiExtensions) {
                if (entry.compare(view, Qt::CaseInsensitive) == 0)
                    return true;
            }
            return false;
        }
        return m_scan.m_extensions.contains(QString::fromUtf8(extension.data(), qsizetype(extension.size())).toUpper());
    }

    // A file named name in the folder m_path (open as folderFd), whose known
    // files are folder and whose text is folderText once a file of it has
    // been reported.
    void foundFile(
        int folderFd, const TknownFolder *folder, QString &folderText, const char *name, WinFileTime time)
    {
        const std::string_view nameView(name);
        const TknownFile *known = folder ? folder->Find(nameView) : nullptr;
        if (known && known->time == time)
            return;
        // A new file that cannot be read would be found new at every scan and
        // never added: it is reported as unreadable instead. Only new files
        // are opened; they are few.
        int readError = 0;
        if (!known) {
            const TuniqueFd file(::openat(folderFd, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
            if (!file.Valid())
                readError = errno;
        }
        if (!m_announced)
            announceFolder();
        if (folderText.isNull())
            folderText = DecodeFileName(QByteArrayView(m_path.data(), qsizetype(m_path.size())));
        // The folder's text is decoded once, and most names are ASCII: a new
        // file's path then costs one allocation.
        QString path;
        path.reserve(folderText.size() + 1 + qsizetype(nameView.size()));
        path += folderText;
        path += u'/';
        if (isAscii(nameView))
            path += QLatin1StringView(nameView.data(), qsizetype(nameView.size()));
        else
            path += DecodeFileName(QByteArrayView(nameView.data(), qsizetype(nameView.size())));
        if (readError != 0) {
            m_batch.push_back(Finding { Finding::fkUnreadable, path, {}, -1, systemReason(readError) });
            return;
        }
        m_batch.push_back(
            Finding { known ? Finding::fkModifiedFile : Finding::fkNewFile, path, time, known ? known->index : -1 });
    }

    // The folder m_path could not be opened or listed. A listed folder that is
    // not there is missing, not unreadable; a subfolder that vanished since
    // the listing of its parent is neither.
    void folderFailed(bool listed, int error)
    {
        if (listed && error == ENOENT) {
            missingFolder();
            return;
        }
        if (error == ENOENT)
            return;
        unreadable(m_path, error);
    }

    void unreadable(const std::string &path, int error)
    {
        m_batch.push_back(Finding { Finding::fkUnreadable,
            DecodeFileName(QByteArrayView(path.data(), qsizetype(path.size()))), {}, -1, systemReason(error) });
    }

    // The system's text for an error; strerror is not safe on a thread.
    static QString systemReason(int error)
    {
        return QString::fromStdString(std::generic_category().message(error));
    }

    QString decodedPath() const { return DecodeFileName(QByteArrayView(m_path.data(), qsizetype(m_path.size()))); }

    void beginFolder(bool listed)
    {
        m_began = m_path;
        m_announced = false;
        if (listed || Clock::now() - m_lastAnnounce >= kFolderDelay)
            announceFolder();
    }

    void announceFolder()
    {
        m_batch.push_back(
            Finding { Finding::fkFolder, DecodeFileName(QByteArrayView(m_began.data(), qsizetype(m_began.size()))), {}, -1 });
        m_announced = true;
        m_lastAnnounce = Clock::now();
    }

    void flushIfDue()
    {
        if (m_batch.empty())
            return;
        const Clock::time_point now = Clock::now();
        if (m_batch.size() < kBatchSize && now - m_lastFlush < kBatchDelay)
            return;
        post();
        m_lastFlush = now;
    }

    // Waits while too many batches are undelivered, unless the scan is being
    // stopped.
    void post()
    {
        m_scan.m_batches.Post(
            Batch { std::move(m_batch), !m_posted }, [this] { return m_scan.isInterruptionRequested(); });
        m_batch = {};
        m_posted = true;
    }

    TvorlenScanThread &m_scan;
    const TunmountedMountPoints m_unmounted;
    // The folder of the folder list being scanned is one of FoldersWithMusic.
    bool m_listedHasMusic = false;
    std::vector<QByteArray> m_asciiExtensions;
    // The path being looked at, in the file system's encoding.
    std::string m_path;
    // The folder whose scan began last, and whether it has been reported.
    std::string m_began;
    bool m_announced = false;
    Clock::time_point m_lastAnnounce;
    Clock::time_point m_lastFlush = Clock::now();
    std::vector<Finding> m_batch;
    bool m_posted = false;
};

TvorlenScanThread::TvorlenScanThread()
    : m_batches(kBatchesInFlight)
{
    m_batches.OnDeliver = [this](Batch &batch) { deliver(batch); };
}

TvorlenScanThread::~TvorlenScanThread()
{
    requestInterruption();
    wait();
}

void TvorlenScanThread::SetExtensions(const QString &text)
{
    m_extensionText = text;
    m_extensions.clear();
    const QStringList pieces = text.split(u';');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i == pieces.size() - 1 && pieces[i].isEmpty() && pieces.size() > 1)
            break;
        m_extensions.append(pieces[i].toUpper());
    }
}

void TvorlenScanThread::run()
{
    if (FolderList.isEmpty() || m_extensions.isEmpty())
        return;
    const QStringList folders = FolderList;
    Walker walker(*this, TunmountedMountPoints::Read(FstabFile, MountInfoFile));
    for (const QString &folder : folders) {
        if (isInterruptionRequested())
            break;
        walker.scanFolder(folder);
    }
    walker.finish();
}

void TvorlenScanThread::deliver(const Batch &batch)
{
    if (batch.startsRun) {
        m_modifiedCount = 0;
        m_missingFolders.clear();
        m_unreadable.clear();
    }
    for (const Finding &finding : batch.findings)
        report(finding);
}

void TvorlenScanThread::report(const Finding &finding)
{
    switch (finding.kind) {
    case Finding::fkFolder:
        m_currentFolder = finding.path;
        RaiseEvent(OnFolder, this, finding.path);
        break;
    case Finding::fkNewFile:
        m_fileRecs.push_back(TvorlenFileRec { finding.path, finding.time.low, finding.time.high });
        m_newFiles.Add(finding.path, &m_fileRecs.back());
        m_currentFile = finding.path;
        RaiseEvent(OnNewFile, this, finding.path, m_newFiles.Count());
        break;
    case Finding::fkMissingFolder:
        m_missingFolders.append(finding.path);
        break;
    case Finding::fkUnreadable:
        m_unreadable.push_back(TfileProblem { finding.path, finding.reason });
        break;
    case Finding::fkModifiedFile: {
        // Looked up now, not when the scan started: the library may have
        // dropped the record since.
        TcustomTagger *record = LookupRecord ? LookupRecord(finding.path, finding.indexHint) : nullptr;
        if (!record)
            break;
        try {
            record->ReadTag();
            record->ReadStreamInfo();
        } catch (const std::exception &) {
            // The record keeps what its reader left.
        }
        ++m_modifiedCount;
        RaiseEvent(OnModifiedFile, this, m_modifiedCount);
        break;
    }
    }
}
