#include "core/libraryScan.h"

#include "core/coreListeners.h"
#include "library/knownFiles.h"
#include "library/mp3JukeBoxLists.h"
#include "library/vorlenScanThread.h"

#include <algorithm>

bool InMusicFolders(const QString &fileName, const QStringList &folders)
{
    return std::any_of(
        folders.begin(), folders.end(), [&fileName](const QString &folder) { return fileName.startsWith(folder); });
}

TlibraryScan::TlibraryScan(const Tmp3JukeBoxLists &library, const TcoreListeners &listeners)
    : m_library(library)
    , m_listeners(listeners)
{
}

TlibraryScan::~TlibraryScan() = default;

bool TlibraryScan::Start(const QStringList &folders, TscanOptions options)
{
    if (m_thread)
        return false;
    m_options = options;
    m_progress = TscanProgress();
    m_stopped = false;
    m_thread = std::make_unique<TvorlenScanThread>();
    TvorlenScanThread &scan = *m_thread;
    scan.SetExtensions(kMusicExtensions);
    scan.FolderList = folders;
    scan.Recursive = true;
    // A music folder found empty while the library holds music below it is
    // a drive away, not music deleted.
    const TtaggerList &master = m_library.MasterList();
    for (const QString &folder : folders) {
        const QString below = folder.endsWith(u'/') ? folder : folder + u'/';
        const auto &records = master.Records();
        if (std::any_of(records.begin(), records.end(),
                [&below](const TcustomTagger *record) { return record->Folder().startsWith(below); }))
            scan.FoldersWithMusic.append(folder);
    }
    // A full rescan knows no file: everything it finds is new.
    if (!options.fullScan) {
        scan.KnownFiles = TknownFiles(master);
        scan.LookupRecord
            = [&master](const QString &path, int indexHint) { return FindKnownRecord(master, path, indexHint); };
    }
    scan.OnFolder = [this](TvorlenScanThread *, const QString &folder) {
        m_progress.folder = folder;
        m_listeners.Raise(&TcoreListener::ScanProgress, m_progress);
    };
    scan.OnNewFile = [this](TvorlenScanThread *, const QString &, int newCount) {
        m_progress.newFiles = newCount;
        m_listeners.Raise(&TcoreListener::ScanProgress, m_progress);
    };
    scan.OnModifiedFile = [this](TvorlenScanThread *, int modifiedCount) {
        m_progress.modifiedFiles = modifiedCount;
        m_listeners.Raise(&TcoreListener::ScanProgress, m_progress);
    };
    QObject::connect(&scan, &QThread::finished, &m_context, [this] { finished(); });
    m_listeners.Raise(&TcoreListener::ScanStarted);
    scan.start();
    return true;
}

void TlibraryScan::Stop()
{
    if (!m_thread)
        return;
    m_stopped = true;
    m_thread->requestInterruption();
}

void TlibraryScan::finished()
{
    // Every finding has been delivered by now: the handlers above never let
    // pending events run, so nothing of this run can still be queued.
    TscanFindings findings;
    findings.options = m_options;
    for (const auto &line : m_thread->NewFiles().Lines())
        findings.newFiles.append(line.text);
    findings.missingFolders = m_thread->MissingFolders();
    findings.unreadable = m_thread->Unreadable();
    m_thread.reset();
    const bool completed = !m_stopped;
    if (completed)
        RaiseEvent(OnCompleted, findings);
    m_listeners.Raise(&TcoreListener::ScanEnded, completed);
}
