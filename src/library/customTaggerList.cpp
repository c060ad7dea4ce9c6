#include "library/customTaggerList.h"

#include "library/m3uFile.h"
#include "library/trackListFile.h"
#include "platform/atomicFile.h"
#include "platform/fileExists.h"
#include "platform/fileNames.h"

#include <QFile>
#include <cmath>
#include <exception>
#include <memory>
#include <utility>

QString FileNamePart(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString MinutesSecondsText(double milliseconds)
{
    const qint64 seconds = std::llrint(milliseconds / 1000.0);
    return QString::asprintf("%lld:%2.2lld", seconds / 60, seconds % 60);
}

TcustomTaggerList::TcustomTaggerList() = default;

TcustomTaggerList::~TcustomTaggerList()
{
    ClearRecords();
}

void TcustomTaggerList::EndUpdate()
{
    m_updating = false;
    Changed();
}

void TcustomTaggerList::Changed()
{
    if (!m_updating)
        RaiseEvent(OnChange, this);
}

void TcustomTaggerList::ClearRecords()
{
    // Taken out first: a record freed here must not be found in the list by
    // anything its destruction reaches.
    const std::vector<TcustomTagger *> records = std::exchange(m_records, {});
    ++m_changes;
    if (m_ownsRecords) {
        for (TcustomTagger *record : records)
            record->Release();
    }
}

void TcustomTaggerList::SetOwnsRecords(bool value)
{
    if (value == m_ownsRecords)
        return;
    m_ownsRecords = value;
    for (TcustomTagger *record : m_records) {
        if (value)
            record->Hold();
        else
            record->ReleaseKeeping();
    }
}

TcustomTagger *TcustomTaggerList::TakeAt(int index)
{
    TcustomTagger *record = m_records[size_t(index)];
    m_records.erase(m_records.begin() + index);
    ++m_changes;
    return record;
}

void TcustomTaggerList::DeleteAt(int index)
{
    TcustomTagger *record = TakeAt(index);
    if (m_ownsRecords)
        record->Release();
}

TcustomTagger *TcustomTaggerList::Adopt(std::unique_ptr<TcustomTagger> record)
{
    // A list that does not own its records has nobody to free what it would
    // create: it keeps nothing.
    if (!m_ownsRecords || !record)
        return nullptr;
    TcustomTagger *added = record.release();
    Add(added);
    return added;
}

void TcustomTaggerList::Clear()
{
    ClearRecords();
    Changed();
}

void TcustomTaggerList::Add(TcustomTagger *record)
{
    m_records.push_back(record);
    TakeIn(*record);
    Changed();
}

void TcustomTaggerList::TakeIn(TcustomTagger &record)
{
    if (auto *id3 = dynamic_cast<Tid3Tagger *>(&record))
        id3->SetWriteType(m_id3WriteType);
    ++m_changes;
    if (m_ownsRecords)
        record.Hold();
    if (record.Duration() < 0)
        record.SetReadFrameHeaders(m_readFrameHeaders);
}

void TcustomTaggerList::LetGo(TcustomTagger &record)
{
    ++m_changes;
    if (m_ownsRecords)
        record.Release();
}

TcustomTagger *TcustomTaggerList::AddFile(const QString &fileName)
{
    std::unique_ptr<TcustomTagger> record = CreateTaggerForFile(fileName);
    if (!record)
        return nullptr;
    // A file its reader cannot read (unreadable, truncated, vanished) is
    // skipped: one bad file must not end the bulk operation it is part of.
    try {
        record->LoadFromFile(fileName);
        record->SetReadFrameHeaders(m_readFrameHeaders);
    } catch (const std::exception &) {
        return nullptr;
    }
    if (!m_keepUntagged && !record->ValidTag())
        return nullptr;
    return Adopt(std::move(record));
}

TcustomTagger *TcustomTaggerList::AddCopy(const TcustomTagger *source)
{
    if (!source)
        return nullptr;
    std::unique_ptr<TcustomTagger> record = CreateTaggerForFile(source->Filename());
    if (!record)
        return nullptr;
    record->Assign(source);
    return Adopt(std::move(record));
}

void TcustomTaggerList::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    DeleteAt(index);
    Changed();
}

void TcustomTaggerList::Remove(TcustomTagger *record)
{
    const auto it = std::find(m_records.begin(), m_records.end(), record);
    if (it != m_records.end())
        DeleteAt(int(it - m_records.begin()));
    Changed();
}

int TcustomTaggerList::DeleteWhere(const std::function<bool(const TcustomTagger &)> &remove)
{
    std::vector<TcustomTagger *> gone;
    std::erase_if(m_records, [&](TcustomTagger *record) {
        if (!remove(*record))
            return false;
        gone.push_back(record);
        return true;
    });
    m_changes += gone.size();
    // Let go once they are out of the list: a record freed here must not be
    // found in it by anything its destruction reaches.
    if (m_ownsRecords) {
        for (TcustomTagger *record : gone)
            record->Release();
    }
    if (!gone.empty())
        Changed();
    return int(gone.size());
}

void TcustomTaggerList::MoveUp(int index)
{
    if (index > 0)
        Move(index, index - 1);
}

void TcustomTaggerList::MoveDown(int index)
{
    if (index < Count() - 1)
        Move(index, index + 1);
}

void TcustomTaggerList::Move(int from, int to)
{
    if (from < 0 || from >= Count() || to < 0 || to >= Count())
        return;
    TcustomTagger *record = TakeAt(from);
    m_records.insert(m_records.begin() + to, record);
    Changed();
}

QString TcustomTaggerList::DisplayText(int index) const
{
    const TcustomTagger *r = m_records[size_t(index)];
    if (r->Title().isEmpty() || r->Artist().isEmpty()) {
        const QString name = ReadableFileName(FileNamePart(r->Filename()));
        if (m_displayType == tdQueue)
            return QString::asprintf("%3.3d: ", index + 1) + name;
        return name;
    }
    switch (m_displayType) {
    case tdTitle:
        return r->Title();
    case tdArtistTitle:
        return r->Artist() + QStringLiteral(" - ") + r->Title();
    case tdTitleArtist:
        return r->Title() + QStringLiteral(" - ") + r->Artist();
    case tdTrackTitle:
        return QString::asprintf("%2.2u: ", r->Track()) + r->Title();
    case tdTrackArtistTitle:
        return QString::asprintf("%2.2u: ", r->Track()) + r->Artist() + QStringLiteral(" - ") + r->Title();
    case tdQueue:
        return QString::asprintf("%3.3d: ", index + 1) + r->Title() + QStringLiteral(" - ") + r->Artist() +
               QStringLiteral(" [") + MinutesSecondsText(r->Duration()) + u']';
    }
    return r->Title();
}

void TcustomTaggerList::FillStrings(TstringList &strings)
{
    FillStringsAsStored(strings);
}

void TcustomTaggerList::FillStringsAsStored(TstringList &strings) const
{
    strings.BeginUpdate();
    strings.Clear();
    strings.Reserve(Count());
    for (int i = 0; i < Count(); ++i)
        strings.Add(DisplayText(i), Items(i));
    strings.EndUpdate();
}

void TcustomTaggerList::AddFileList(const QStringList &lines, bool append, bool readHeaders)
{
    RaiseEvent(OnListProcessStart, this, int(lines.size()));
    BeginUpdate();
    if (!append)
        ClearRecords();
    for (int i = 0; i < int(lines.size()); ++i) {
        RaiseEvent(OnListProcess, this, i);
        if (!QuietFileExists(lines[i]))
            continue;
        TcustomTagger *record = AddFile(lines[i]);
        if (record && readHeaders && !m_readFrameHeaders) {
            try {
                record->ReadStreamInfo();
            } catch (const std::exception &) {
                // The tag was read; the record keeps the stream facts it has.
            }
        }
    }
    EndUpdate();
    RaiseEvent(OnListProcessFinished, this);
}

Tm3uReading TcustomTaggerList::LoadFromTextFile(const QString &fileName, bool append)
{
    Tm3uReading reading = ReadM3uFile(fileName);
    if (reading.error.isEmpty())
        AddFileList(reading.files, append, m_readFrameHeaders);
    return reading;
}

bool TcustomTaggerList::SaveToTextFile(const QString &fileName, QString *errorText) const
{
    QStringList names;
    names.reserve(Count());
    for (const TcustomTagger *record : m_records)
        names.append(record->Filename());
    return WriteFileAtomically(fileName, WriteM3uLines(names), errorText);
}

void TcustomTaggerList::AssignPlaylist(const TcustomTaggerList &list)
{
    BeginUpdate();
    Clear();
    for (const TcustomTagger *record : list.Records())
        AddCopy(record);
    EndUpdate();
}

void TcustomTaggerList::ReplaceRecords(TcustomTaggerList &source)
{
    BeginUpdate();
    ClearRecords();
    for (TcustomTagger *record : source.m_records)
        Add(record);
    source.ClearRecords();
    EndUpdate();
}

double TcustomTaggerList::TotalDuration() const
{
    double total = 0;
    for (const TcustomTagger *record : m_records)
        total += record->Duration();
    return total;
}

void TcustomTaggerList::LoadListFile(const QString &fileName, bool append, const QString &cdRoot,
                                     TlistFileReport *report)
{
    BeginUpdate();
    if (!append)
        ClearRecords();
    QFile file(fileName);
    TlistFileReport found;
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.exists())
            found.error = file.errorString();
    } else {
        const QByteArray data = file.readAll();
        if (file.error() != QFileDevice::NoError)
            found.error = file.errorString();
        m_records.reserve(m_records.size() + size_t(data.size() / 150));
        TtrackListReader reader(data);
        while (std::unique_ptr<TcustomTagger> record = reader.Next()) {
            ++found.records;
            if (!cdRoot.isEmpty())
                record->SetFilename(ResolveCdPath(record->Filename(), cdRoot));
            TcustomTagger *added = Adopt(std::move(record));
            if (!added)
                continue;
            try {
                added->SetReadFrameHeaders(m_readFrameHeaders);
            } catch (const std::exception &) {
                // The stored facts stay; the file could not be read now.
            }
        }
        m_records.shrink_to_fit();
        found.damaged = reader.Skipped();
        found.lost = reader.Lost();
    }
    if (report)
        *report = found;
    EndUpdate();
}

bool TcustomTaggerList::SaveListFile(const QString &fileName, const QString &cdRoot, QString *errorText) const
{
    TtrackListWriter writer;
    for (const TcustomTagger *record : m_records)
        writer.Write(*record, cdRoot);
    return WriteFileAtomically(fileName, writer.Data(), errorText);
}

void TcustomTaggerList::SetReadFrameHeaders(bool value)
{
    m_readFrameHeaders = value;
    for (TcustomTagger *record : m_records)
        record->SetReadFrameHeaders(value);
}

void TcustomTaggerList::SetId3WriteType(Tid3TagWriteType value)
{
    m_id3WriteType = value;
    for (TcustomTagger *record : m_records) {
        if (auto *id3 = dynamic_cast<Tid3Tagger *>(record))
            id3->SetWriteType(value);
    }
}
