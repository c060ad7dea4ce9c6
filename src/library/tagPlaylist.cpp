#include "library/tagPlaylist.h"

#include "library/m3uFile.h"
#include "library/trackListFile.h"
#include "platform/fileExists.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSet>

QString PlaylistCacheFile(const QString &m3uFile, const QString &cacheFolder)
{
    // The name alone would let two lists of the same name in different
    // folders share one cache, and each would load the other's tracks.
    const QFileInfo info(m3uFile);
    const QByteArray folderHash =
        QCryptographicHash::hash(info.absoluteFilePath().toUtf8(), QCryptographicHash::Sha1).toHex().left(8);
    return cacheFolder + u'/' + info.completeBaseName() + u'.' + QString::fromLatin1(folderHash) +
           QStringLiteral(".vpl");
}

TtagPlaylist::TtagPlaylist()
{
    SetFreeOnDestroy(true);
}

void TtagPlaylist::SetRandomise(bool value)
{
    m_randomise = value;
    m_randomOrder.SetSize(quint32(Count()));
    if (value)
        m_randomOrder.SetSize(quint32(Count()));
}

TcustomTagger *TtagPlaylist::NextRecord()
{
    if (Count() == 0)
        return nullptr;
    if (m_randomise) {
        const quint32 index = m_randomOrder.Next();
        return index < quint32(Count()) ? Items(int(index)) : nullptr;
    }
    if (m_position >= Count()) {
        if (m_stopAtEnd)
            return nullptr;
        m_position = 0;
    }
    return Items(m_position++);
}

void TtagPlaylist::Activated()
{
    if (m_autoCounterReset)
        ResetPosition();
}

void TtagPlaylist::Changed()
{
    if (m_randomise)
        m_randomOrder.SetSize(quint32(Count()));
    TtaggerList::Changed();
}

void TtagPlaylist::LoadFromM3U(const QString &fileName, TplaylistLoadReport *report)
{
    if (!QuietFileExists(fileName))
        return;
    m_filename = fileName;
    LoadPlaylist(fileName, false, QString(), report);
}

bool TtagPlaylist::ReloadFromM3U(const QString &fileName, TplaylistLoadReport *report)
{
    TtagPlaylist fresh;
    fresh.SetReadFrameHeaders(ReadFrameHeaders());
    fresh.LoadFromM3U(fileName, report);
    if (fresh.Count() == 0)
        return false;
    m_filename = fileName;
    ReplaceRecords(fresh);
    return true;
}

TtagPlaylist::TcacheMatch TtagPlaylist::cacheMatch(const TtagPlaylist &cached, const QString &m3uFile)
{
    std::vector<Tm3uEntry> entries;
    // Without its M3U file a cache is all there is to go by.
    if (!ReadM3uEntries(m3uFile, entries))
        return cmMatches;
    QSet<QString> listed;
    for (const Tm3uEntry &entry : entries) {
        listed.insert(entry.name);
        if (!entry.fileSystemName.isEmpty())
            listed.insert(entry.fileSystemName);
    }
    for (const TcustomTagger *record : cached.Records()) {
        if (!listed.contains(record->Filename()))
            return cmForeign;
    }
    if (qsizetype(cached.Count()) >= qsizetype(entries.size()))
        return cmMatches;
    // Fewer tracks than entries: entries whose files were missing when the
    // cache was written, or records lost from it. The files tell which.
    int existing = 0;
    for (const Tm3uEntry &entry : entries) {
        if (QuietFileExists(entry.name) || (!entry.fileSystemName.isEmpty() && QuietFileExists(entry.fileSystemName)))
            ++existing;
    }
    return existing <= cached.Count() ? cmMatches : cmStale;
}

void TtagPlaylist::takeRecords(TtagPlaylist &source, bool append)
{
    // A list that does not own its records takes none of a loading: nothing
    // would hold them once source is gone.
    if (!OwnsRecords())
        return;
    if (!append) {
        ReplaceRecords(source);
        return;
    }
    BeginUpdate();
    for (TcustomTagger *record : source.Records())
        Add(record);
    EndUpdate();
}

void TtagPlaylist::loadFromM3u(const QString &fileName, bool append, TplaylistLoadReport *report)
{
    Tm3uReading reading = LoadFromTextFile(fileName, append);
    if (report) {
        report->notFound = std::move(reading.notFound);
        report->m3uError = std::move(reading.error);
    }
}

void TtagPlaylist::LoadPlaylist(const QString &fileName, bool append, const QString &cacheFolder,
                                TplaylistLoadReport *report)
{
    if (cacheFolder.isEmpty()) {
        loadFromM3u(fileName, append, report);
        return;
    }
    const QString cache = PlaylistCacheFile(fileName, cacheFolder);
    if (!QuietFileExists(cache)) {
        loadFromM3u(fileName, append, report);
        return;
    }
    TtagPlaylist cached;
    cached.SetReadFrameHeaders(ReadFrameHeaders());
    TlistFileReport read;
    cached.LoadListFile(cache, false, QString(), &read);
    QString problem = read.Problem();
    const TcacheMatch match = problem.isEmpty() ? cacheMatch(cached, fileName) : cmStale;
    if (match == cmForeign)
        problem = QStringLiteral("it names files its playlist %1 does not list").arg(FileNamePart(fileName));
    if (match == cmMatches) {
        takeRecords(cached, append);
        return;
    }
    if (report && !problem.isEmpty())
        report->damagedCache = TfileProblem{cache, problem};
    if (QuietFileExists(fileName)) {
        loadFromM3u(fileName, append, report);
        return;
    }
    // No playlist file to rebuild from: what the cache gave is all there is.
    takeRecords(cached, append);
}

bool TtagPlaylist::SavePlaylist(const QString &fileName, const QString &cacheFolder,
                                std::vector<TfileProblem> *failures)
{
    bool saved = true;
    QString error;
    if (!cacheFolder.isEmpty()) {
        const QString cache = PlaylistCacheFile(fileName, cacheFolder);
        if (!SaveListFile(cache, QString(), &error)) {
            saved = false;
            if (failures)
                failures->push_back(TfileProblem{cache, error});
        }
    }
    if (!SaveToTextFile(fileName, &error)) {
        saved = false;
        if (failures)
            failures->push_back(TfileProblem{fileName, error});
    }
    return saved;
}
