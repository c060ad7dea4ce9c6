#include "library/vorlenScanThread.h"

#include "metadata/customTagger.h"
#include "platform/fileTime.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QEvent>
#include <QFileInfo>
#include <exception>

namespace {

QEvent::Type GuiCallEventType()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

QString joinPath(const QString &a, const QString &b)
{
    if (a.isEmpty())
        return b;
    return a.endsWith(u'/') ? a + b : a + u'/' + b;
}

} // namespace

TvorlenScanThread::TvorlenScanThread() = default;

TvorlenScanThread::~TvorlenScanThread()
{
    requestInterruption();
    // The worker may be waiting for an event to run on this (GUI) thread.
    while (!wait(10))
        QCoreApplication::processEvents();
    std::lock_guard lock(m_handOverMutex);
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

bool TvorlenScanThread::acceptedExtension(const QString &name) const
{
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return false;
    const QString extension = name.mid(dot).toUpper();
    for (const QString &entry : m_extensions) {
        if (extension == u'.' + entry)
            return true;
    }
    return false;
}

void TvorlenScanThread::onGuiThread(const std::function<void()> &call)
{
    if (QThread::currentThread() == thread()) {
        call();
        return;
    }
    std::unique_lock lock(m_handOverMutex);
    m_handedOver = &call;
    QCoreApplication::postEvent(this, new QEvent(GuiCallEventType()));
    m_handedBack.wait(lock, [this] { return !m_handedOver; });
}

bool TvorlenScanThread::event(QEvent *event)
{
    // Taken before the event is read: the worker made it.
    std::unique_lock lock(m_handOverMutex);
    if (event->type() != GuiCallEventType()) {
        lock.unlock();
        return QThread::event(event);
    }
    const std::function<void()> *call = m_handedOver;
    lock.unlock();
    if (call)
        (*call)();
    lock.lock();
    m_handedOver = nullptr;
    lock.unlock();
    m_handedBack.notify_all();
    return true;
}

void TvorlenScanThread::run()
{
    scanFolders();
    // The worker's last word under the lock: the GUI thread takes it once the
    // worker has ended, which orders everything the worker did before that.
    std::lock_guard lock(m_handOverMutex);
}

void TvorlenScanThread::scanFolders()
{
    if (FolderList.isEmpty() || m_extensions.isEmpty())
        return;
    const QStringList folders = FolderList;
    m_modifiedCount = 0;
    for (const QString &folder : folders) {
        if (isInterruptionRequested())
            break;
        scanDirectory(folder, Recursive);
    }
}

void TvorlenScanThread::scanDirectory(const QString &folder, bool recursive)
{
    m_currentFolder = folder;
    onGuiThread([&] {
        if (OnFolder)
            OnFolder(this, m_currentFolder);
    });

    QDirIterator entries(folder.isEmpty() ? QStringLiteral(".") : folder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        if (isInterruptionRequested())
            return;
        entries.next();
        const QFileInfo info = entries.fileInfo();
        const QString name = info.fileName();
        if (!info.isDir() && acceptedExtension(name)) {
            const QString path = folder + u'/' + name;
            const WinFileTime time = FileLastWriteTime(path);
            const auto known = KnownFiles.constFind(path);
            if (known == KnownFiles.constEnd()) {
                m_fileRecs.push_back(TvorlenFileRec{path, time.low, time.high});
                m_currentFile = path;
                onGuiThread([&] {
                    m_newFiles.Add(path, &m_fileRecs.back());
                    if (OnNewFile)
                        OnNewFile(this, m_currentFile, m_newFiles.Count());
                });
            } else {
                TcustomTagger *record = known.value();
                // The record belongs to the GUI thread: compare and re-read it there.
                onGuiThread([&] {
                    if (record->ModDateHigh() == time.high && record->ModDateLow() == time.low)
                        return;
                    try {
                        record->ReadTag();
                        record->ReadStreamInfo();
                    } catch (const std::exception &) {
                        // The record keeps what its reader left.
                    }
                    ++m_modifiedCount;
                    if (OnModifiedFile)
                        OnModifiedFile(this, m_modifiedCount);
                });
            }
        }
        if (recursive && info.isDir() && !info.isSymLink())
            scanDirectory(joinPath(folder, name), recursive);
    }
}
