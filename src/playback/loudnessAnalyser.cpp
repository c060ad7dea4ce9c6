#include "playback/loudnessAnalyser.h"

#include "metadata/gainTags.h"
#include "playback/loudnessScan.h"
#include "platform/raiseEvent.h"

#include <QTimer>
#include <pthread.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The calling thread takes processor and disc time only when nothing else
// wants it: SCHED_IDLE, and the idle I/O class (ioprio_set, which has no
// wrapper in the C library).
void becomeIdle()
{
    sched_param param {};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &param);
    constexpr int kIoprioWhoProcess = 1;
    constexpr int kIoprioClassIdle = 3;
    constexpr int kIoprioClassShift = 13;
    syscall(SYS_ioprio_set, kIoprioWhoProcess, 0, kIoprioClassIdle << kIoprioClassShift);
}

} // namespace

TloudnessAnalyser::TloudnessAnalyser(TloudnessStore &store, const QString &storeFile)
    : m_store(store)
    , m_storeFile(storeFile)
{
    m_notices.OnDeliver = [this](Measured &) { notify(); };
    m_thread = std::thread([this] { run(); });
}

TloudnessAnalyser::~TloudnessAnalyser()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_stopScan.store(true);
    m_wake.notify_all();
    m_thread.join();
    m_store.Save(m_storeFile);
}

void TloudnessAnalyser::SetFiles(TpathList files)
{
    {
        std::lock_guard lock(m_mutex);
        m_files = std::move(files);
        m_next = 0;
        m_done = 0;
    }
    m_wake.notify_all();
}

void TloudnessAnalyser::Append(const QStringList &files)
{
    if (files.isEmpty())
        return;
    {
        std::lock_guard lock(m_mutex);
        for (const QString &file : files)
            m_files.Append(QString(), file);
    }
    m_wake.notify_all();
}

void TloudnessAnalyser::Prefer(const QStringList &files)
{
    {
        std::lock_guard lock(m_mutex);
        for (auto it = files.crbegin(); it != files.crend(); ++it)
            m_preferred.push_front(*it);
    }
    m_wake.notify_all();
}

void TloudnessAnalyser::Start()
{
    {
        std::lock_guard lock(m_mutex);
        m_running = true;
        m_stopScan.store(false);
    }
    m_wake.notify_all();
}

void TloudnessAnalyser::Stop()
{
    std::lock_guard lock(m_mutex);
    m_running = false;
    m_stopScan.store(true);
}

bool TloudnessAnalyser::Running() const
{
    std::lock_guard lock(m_mutex);
    return m_running;
}

TloudnessAnalyser::Progress TloudnessAnalyser::GetProgress() const
{
    std::lock_guard lock(m_mutex);
    return { m_done, int(m_files.Count()), m_running && m_next < m_files.Count() };
}

// Under m_mutex. The preferred files first, then the list.
bool TloudnessAnalyser::takeNext(QString *file)
{
    if (!m_preferred.empty()) {
        *file = m_preferred.front();
        m_preferred.pop_front();
        return true;
    }
    if (m_next < m_files.Count()) {
        *file = m_files.Path(m_next);
        return true;
    }
    return false;
}

void TloudnessAnalyser::run()
{
    becomeIdle();
    std::unique_lock lock(m_mutex);
    for (;;) {
        QString file;
        m_wake.wait(lock, [&] { return m_quit || (m_running && takeNext(&file)); });
        if (m_quit)
            break;
        const bool fromList = m_preferred.empty() && m_next < m_files.Count() && m_files.Path(m_next) == file;
        lock.unlock();
        measure(file);
        lock.lock();
        // A stopped scan leaves its file for the next Start.
        if (m_stopScan.load()) {
            if (!fromList)
                m_preferred.push_front(file);
            continue;
        }
        if (fromList && m_next < m_files.Count() && m_files.Path(m_next) == file) {
            ++m_next;
            ++m_done;
        }
        const bool finished = m_next >= m_files.Count() && m_preferred.empty();
        if (m_unsaved >= kSaveEvery || (finished && m_unsaved > 0)) {
            m_unsaved = 0;
            lock.unlock();
            m_store.Save(m_storeFile);
            lock.lock();
        }
        if (!m_notifyPending) {
            m_notifyPending = true;
            m_notices.Post(Measured {});
        }
    }
}

TloudnessEntry MeasureFile(const QString &file, const TfileStamp &stamp, const std::atomic<bool> &stop)
{
    const TloudnessScan scan = ScanLoudness(file, stop);
    TloudnessEntry entry;
    entry.size = stamp.size;
    entry.modifiedNs = stamp.modifiedNs;
    entry.measured = scan.ok;
    entry.loudness = scan.loudness;
    entry.truePeak = scan.truePeak;
    entry.lengthMs = scan.lengthMs;
    entry.musicStartMs = scan.musicStartMs;
    entry.musicEndMs = scan.musicEndMs;
    entry.endingMs = scan.endingMs;
    entry.albumArtist = ReadGainTags(file).albumArtist;
    return entry;
}

void TloudnessAnalyser::measure(const QString &file)
{
    const TfileStamp stamp = FileStampOf(file);
    if (stamp.size < 0 || m_store.Find(file, stamp))
        return;
    const TloudnessEntry entry = MeasureFile(file, stamp, m_stopScan);
    if (m_stopScan.load())
        return;
    m_store.Put(file, entry);
    std::lock_guard lock(m_mutex);
    ++m_unsaved;
}

// Reports at most every kProgressMs, and at once when the list is done.
void TloudnessAnalyser::notify()
{
    bool finished = false;
    {
        std::lock_guard lock(m_mutex);
        m_notifyPending = false;
        finished = m_next >= m_files.Count() && m_preferred.empty();
    }
    if (m_reportDue)
        return;
    const qint64 wait = m_lastReport.isValid() ? kProgressMs - m_lastReport.elapsed() : 0;
    if (finished || wait <= 0) {
        report();
        return;
    }
    m_reportDue = true;
    QTimer::singleShot(int(wait), &m_context, [this] { report(); });
}

void TloudnessAnalyser::report()
{
    m_reportDue = false;
    m_lastReport.start();
    RaiseEvent(OnProgress);
}
