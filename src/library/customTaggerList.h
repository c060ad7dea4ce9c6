#pragma once

#include "library/component.h"
#include "library/m3uFile.h"
#include "library/stringList.h"
#include "metadata/id3Tagger.h"
#include "metadata/taggerRef.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// How a list shows its records.
enum TtagDisplayType { tdTitle, tdArtistTitle, tdTitleArtist, tdTrackTitle, tdTrackArtistTitle, tdQueue };

struct TlistFileReport;

// An ordered list of track records with a display form, change notification
// (batched by BeginUpdate/EndUpdate) and progress events. Whether the list owns
// its records depends on the class: this base class owns them. A list that
// owns its records holds each of them (TcustomTagger::Hold): removing a record
// frees it only when nothing else holds it, so a record that plays or is
// queued outlives the list it came from.
//
// GUI thread only. Long operations run to their end without letting pending
// events in: a request from a guest, D-Bus or the folder watch would otherwise
// find the list half changed. Their progress events are how a window follows.
class TcustomTaggerList : public TComponent {
public:
    TcustomTaggerList();
    ~TcustomTaggerList() override;

    int Count() const { return int(m_records.size()); }
    // Grows whenever a record comes into the list or leaves it: what a
    // reader keeps about the list's records is up to date while this stays.
    quint64 Changes() const { return m_changes; }
    TcustomTagger *Items(int index) const { return m_records[size_t(index)]; }
    const std::vector<TcustomTagger *> &Records() const { return m_records; }

    // Not counted: one EndUpdate ends any number of BeginUpdate.
    void BeginUpdate() { m_updating = true; }
    void EndUpdate();
    bool Updating() const { return m_updating; }
    virtual void Changed();

    virtual void Clear();
    virtual void Add(TcustomTagger *record);
    // Creates and reads a record for a file; null for an unsupported extension,
    // an untagged file that is not kept, or a file its reader cannot read.
    virtual TcustomTagger *AddFile(const QString &fileName);
    // Adds a copy of a known record without reading its file. AddFile and
    // AddCopy add nothing to a list that does not own its records (nothing
    // would free what they create) and return null there.
    virtual TcustomTagger *AddCopy(const TcustomTagger *source);
    virtual void Delete(int index);
    virtual void Remove(TcustomTagger *record);
    // Deletes every record remove answers true for, in one pass and one
    // change (deleting one by one from a large list costs a move of the rest
    // each time); the number deleted.
    int DeleteWhere(const std::function<bool(const TcustomTagger &)> &remove);
    void MoveUp(int index);
    void MoveDown(int index);
    virtual void Move(int from, int to);

    virtual QString DisplayText(int index) const;
    // The display texts of the records with the records, in the list's
    // display order (a sorted list sorts first).
    virtual void FillStrings(TstringList &strings);
    // The same in the order the records stand now.
    void FillStringsAsStored(TstringList &strings) const;
    // Adds the file named by each line (lines naming missing files are skipped).
    void AddFileList(const QStringList &lines, bool append, bool readHeaders);
    // Reads a list of file names (one per line; relative names are taken from
    // the list file's folder, lines starting with "#" are skipped). Returns
    // what the list gave, with the names that named no existing file.
    virtual Tm3uReading LoadFromTextFile(const QString &fileName, bool append);
    // One file name per line, CR LF line ends; false, with the system's reason
    // in errorText, when it could not be written.
    virtual bool SaveToTextFile(const QString &fileName, QString *errorText = nullptr) const;
    void AssignPlaylist(const TcustomTaggerList &list);
    // This list's records become the other's, which is left empty: one
    // change. The records stay held throughout (both lists must own them).
    void ReplaceRecords(TcustomTaggerList &source);
    double TotalDuration() const;
    // Gives back the spare capacity of the record list: a library builds
    // thousands of lists once and then keeps them.
    void ShrinkToFit() { m_records.shrink_to_fit(); }

    // Track-list files. cdRoot: the mount point of a disc; file names stored in
    // the "cdrom:" form are resolved against it on loading, and names below it
    // are stored in that form on saving. report, when given, receives what
    // the file held.
    virtual void LoadListFile(const QString &fileName, bool append, const QString &cdRoot = QString(),
                              TlistFileReport *report = nullptr);
    bool SaveListFile(const QString &fileName, const QString &cdRoot = QString(), QString *errorText = nullptr) const;

    TtagDisplayType DisplayType() const { return m_displayType; }
    void SetDisplayType(TtagDisplayType value) { m_displayType = value; }
    bool ReadFrameHeaders() const { return m_readFrameHeaders; }
    void SetReadFrameHeaders(bool value);
    Tid3TagWriteType Id3WriteType() const { return m_id3WriteType; }
    void SetId3WriteType(Tid3TagWriteType value);
    bool KeepUntagged() const { return m_keepUntagged; }
    void SetKeepUntagged(bool value) { m_keepUntagged = value; }
    quint32 ListProcessInc() const { return m_listProcessInc; }
    void SetListProcessInc(quint32 value) { m_listProcessInc = value == 0 ? 1 : value; }

    TNotifyEvent OnChange;
    TlistProcessEvent OnListProcess;
    TNotifyEvent OnListProcessFinished;
    TlistProcessStartEvent OnListProcessStart;

protected:
    bool OwnsRecords() const { return m_ownsRecords; }
    // Starting to own holds every record in the list; stopping lets go of
    // them without freeing any: the caller takes them over.
    void SetOwnsRecords(bool value);
    // Empties the list (letting go of owned records) without raising anything.
    void ClearRecords();
    // Takes the record at index out of the list without letting go of it or
    // raising anything: a list that owns its records passes its hold to the
    // caller.
    TcustomTagger *TakeAt(int index);
    // Takes the record at index out of the list and lets go of it, without
    // raising anything.
    void DeleteAt(int index);
    // Adds a record just created for this list; null (and the record freed)
    // when the list does not own its records.
    TcustomTagger *Adopt(std::unique_ptr<TcustomTagger> record);
    std::vector<TcustomTagger *> &MutableRecords() { return m_records; }
    // What the list does as a record comes into it, or leaves it, beside
    // the record's place in MutableRecords (which is the caller's).
    void TakeIn(TcustomTagger &record);
    void LetGo(TcustomTagger &record);

private:
    std::vector<TcustomTagger *> m_records;
    quint64 m_changes = 0;
    TtagDisplayType m_displayType = tdTitle;
    Tid3TagWriteType m_id3WriteType = wtBoth;
    quint32 m_listProcessInc = 1;
    bool m_readFrameHeaders = false;
    bool m_keepUntagged = false;
    bool m_updating = false;
    bool m_ownsRecords = true;
};

// The name part of a path: what follows its last "/".
QString FileNamePart(const QString &path);
// Milliseconds as minutes and seconds ("%d:%2.2d"), rounded to the nearest
// whole second (halves to even).
QString MinutesSecondsText(double milliseconds);
