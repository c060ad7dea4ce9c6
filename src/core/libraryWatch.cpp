#include "core/libraryWatch.h"

#include "core/userInterface.h"
#include "library/mp3JukeBoxLists.h"
#include "platform/raiseEvent.h"

namespace {

// How soon a batch that had to wait is tried again.
constexpr int kRetryMs = 100;

} // namespace

TlibraryWatch::TlibraryWatch(Tmp3JukeBoxLists &library, TcoreUserInterface &ui)
    : m_library(library)
    , m_ui(ui)
    , m_updater(library)
{
    m_watcher.OnChanges = [this](TfolderChanges &changes) { arrived(changes); };
    m_watcher.OnWatchLimit = [this](int unwatched) {
        m_ui.ShowNotice(QStringLiteral("Your music folders hold more folders than this system lets the jukebox "
                                       "watch: %1 of them are not watched for changes. The jukebox looks "
                                       "through those every few minutes instead.")
                            .arg(unwatched),
            QStringLiteral("Music Folders"), TmessageIcon::Information);
    };
    m_updater.OnRemoving = [this](const TcustomTagger &record) { RaiseEvent(OnRemoving, record); };
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    QObject::connect(&m_retry, &QTimer::timeout, [this] { applyWaiting(); });
    m_save.setSingleShot(true);
    m_save.setInterval(kSaveDelayMs);
    QObject::connect(&m_save, &QTimer::timeout, [this] {
        if (!SaveCacheInBackground) {
            SaveIfChanged();
        } else if (m_unsaved) {
            m_unsaved = false;
            SaveCacheInBackground();
        }
    });
}

TlibraryWatch::~TlibraryWatch()
{
    m_watcher.Stop();
}

void TlibraryWatch::Start(const QStringList &folders)
{
    m_watcher.Stop();
    m_waiting.clear();
    m_folders = folders;
    if (!folders.isEmpty() && m_loaded)
        m_watcher.Start(folders);
}

void TlibraryWatch::Stop()
{
    m_watcher.Stop();
    m_waiting.clear();
    m_folders.clear();
}

void TlibraryWatch::LibraryLoaded()
{
    m_loaded = true;
    m_updater.MarkLost();
}

bool TlibraryWatch::SaveIfChanged()
{
    m_save.stop();
    if (!m_unsaved || !SaveCache)
        return true;
    if (!SaveCache())
        return false;
    m_unsaved = false;
    return true;
}

void TlibraryWatch::SaveFailed()
{
    m_unsaved = true;
}

void TlibraryWatch::arrived(TfolderChanges &changes)
{
    m_waiting.push_back(std::move(changes));
    applyWaiting();
}

void TlibraryWatch::applyWaiting()
{
    while (!m_waiting.empty()) {
        if (m_library.RebuildSuspended()) {
            m_retry.start();
            return;
        }
        TfolderChanges changes = std::move(m_waiting.front());
        m_waiting.pop_front();
        const TlibraryUpdater::Tresult result = m_updater.Apply(changes);
        if (result.changed) {
            m_unsaved = true;
            m_save.start();
        }
        m_watcher.Read(result.toRead);
    }
}
