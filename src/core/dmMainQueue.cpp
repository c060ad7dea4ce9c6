// The core's queue: what the faces queue, and the queue commands of the
// windows.
#include "core/dmMain.h"

#include "library/tagAlbum.h"
#include "platform/fileExists.h"

void TdmMain::QueueRecords(const std::vector<TcustomTagger *> &records)
{
    m_queue.BeginUpdate();
    for (TcustomTagger *record : records)
        m_queue.Add(record);
    m_queue.EndUpdate();
}

void TdmMain::QueueRecord(TcustomTagger *record)
{
    m_queue.Add(record);
}

const TcustomTagger *TdmMain::QueueFile(const QString &fileName, QString *whyNot)
{
    auto refuse = [whyNot](const QString &reason) -> const TcustomTagger * {
        if (whyNot)
            *whyNot = reason;
        return nullptr;
    };
    if (!QuietFileExists(fileName))
        return refuse(QStringLiteral("No such file: %1").arg(fileName));
    TcustomTagger *record = m_files.AddFile(fileName);
    if (!record)
        return refuse(QStringLiteral("Not a music file the jukebox can play: %1").arg(fileName));
    m_queue.Add(record);
    return record;
}

void TdmMain::QueueFiles()
{
    for (const QString &fileName : m_ui.ChooseMusicFiles(QString::fromLatin1(kMusicFileFilter)))
        QueueFile(fileName);
}

void TdmMain::QueueAlbum()
{
    if (TtagAlbum *album = m_ui.ChooseAlbum())
        m_queue.AddExisting(*album);
}

int TdmMain::QueueMoveUp(int row)
{
    return row > 0 ? QueueMoveTo(row, row - 1) : -1;
}

int TdmMain::QueueMoveDown(int row)
{
    return QueueMoveTo(row, row + 1);
}

int TdmMain::QueueMoveTo(int row, int position)
{
    const int count = m_queue.Count();
    if (row < 0 || row >= count || position < 0 || position >= count || row == position)
        return -1;
    m_queue.Move(row, position);
    return position;
}

bool TdmMain::QueueDelete(int row)
{
    if (row < 0 || row >= m_queue.Count())
        return false;
    m_queue.Delete(row);
    return true;
}

bool TdmMain::QueueClear()
{
    if (m_queue.Count() == 0)
        return false;
    m_queue.Clear();
    return true;
}
