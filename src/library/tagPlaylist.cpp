#include "library/tagPlaylist.h"

#include "platform/fileExists.h"
#include "platform/pathKeyedName.h"

#include <QFileInfo>

QString PlaylistCacheFile(const QString &m3uFile, const QString &cacheFolder)
{
    // The name alone would let two lists of the same name in different
    // folders share one cache, and each would load the other's tracks.
    return cacheFolder + u'/' + PathKeyedName(m3uFile, u".vpl");
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

void TtagPlaylist::LoadFromM3U(const QString &fileName)
{
    if (!QuietFileExists(fileName))
        return;
    m_filename = fileName;
    LoadPlaylist(fileName, false, QString());
}

bool TtagPlaylist::ReloadFromM3U(const QString &fileName)
{
    TtagPlaylist fresh;
    fresh.SetReadFrameHeaders(ReadFrameHeaders());
    fresh.LoadFromM3U(fileName);
    if (fresh.Count() == 0)
        return false;
    m_filename = fileName;
    ReplaceRecords(fresh);
    return true;
}

void TtagPlaylist::LoadPlaylist(const QString &fileName, bool append, const QString &cacheFolder)
{
    if (!cacheFolder.isEmpty()) {
        const QString cache = PlaylistCacheFile(fileName, cacheFolder);
        if (QuietFileExists(cache)) {
            LoadListFile(cache, append);
            return;
        }
    }
    LoadFromTextFile(fileName, append);
}

bool TtagPlaylist::SavePlaylist(const QString &fileName, const QString &cacheFolder)
{
    bool saved = true;
    if (!cacheFolder.isEmpty())
        saved = SaveListFile(PlaylistCacheFile(fileName, cacheFolder));
    return SaveToTextFile(fileName) && saved;
}
