#include "core/libraryCacheSave.h"

#include "platform/atomicFile.h"
#include "platform/raiseEvent.h"

TlibraryCacheSave::TlibraryCacheSave()
{
    m_slices.setInterval(0);
    QObject::connect(&m_slices, &QTimer::timeout, [this] { slice(); });
    m_written.OnDeliver = [this](Written &written) {
        joinWorker();
        m_writing = false;
        RaiseEvent(OnSaved, written.ok, written.errorText);
    };
}

TlibraryCacheSave::~TlibraryCacheSave()
{
    joinWorker();
}

void TlibraryCacheSave::Start(std::vector<TtaggerRef> records, const QString &fileName)
{
    m_records = std::move(records);
    m_next = 0;
    m_writer = TtrackListWriter();
    m_fileName = fileName;
    m_slicing = true;
    m_slices.start();
}

void TlibraryCacheSave::Cancel()
{
    m_slices.stop();
    m_slicing = false;
    m_records.clear();
    m_writer = TtrackListWriter();
    joinWorker();
    m_written.Clear();
    m_writing = false;
}

void TlibraryCacheSave::slice()
{
    const size_t end = std::min(m_records.size(), m_next + kSliceRecords);
    for (; m_next < end; ++m_next)
        m_writer.Write(*m_records[m_next]);
    if (m_next < m_records.size())
        return;
    m_slices.stop();
    m_slicing = false;
    m_records.clear();
    joinWorker();
    m_writing = true;
    m_worker = std::thread([this, data = m_writer.Data(), fileName = m_fileName] {
        Written written;
        written.ok = WriteFileAtomically(fileName, data, &written.errorText);
        m_written.Post(std::move(written));
    });
    m_writer = TtrackListWriter();
}

void TlibraryCacheSave::joinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}
