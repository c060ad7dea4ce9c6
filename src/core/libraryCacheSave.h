#pragma once

#include "library/trackListFile.h"
#include "metadata/taggerRef.h"
#include "platform/guiHandover.h"

#include <QString>
#include <QTimer>
#include <functional>
#include <thread>
#include <vector>

// Saves the library cache without holding the GUI thread for the time a
// large library takes to write (seconds at a million tracks): the records
// are written into the file's bytes a slice at a time between events, and
// the bytes reach the disk on a worker. The records are held until written,
// so a change of the library meanwhile frees none of them; a record changed
// meanwhile is written as it is when its slice comes (the change schedules
// another save anyway).
//
// GUI thread only; the worker touches nothing but the bytes it was given.
class TlibraryCacheSave {
public:
    // About 15 ms of writing at a time on a slow machine.
    static constexpr size_t kSliceRecords = 4000;

    TlibraryCacheSave();
    // Waits for the worker's write; a save still being sliced is dropped.
    ~TlibraryCacheSave();
    TlibraryCacheSave(const TlibraryCacheSave &) = delete;
    TlibraryCacheSave &operator=(const TlibraryCacheSave &) = delete;

    // Starts saving these records to the file, in this order; a save under
    // way is dropped for it.
    void Start(std::vector<TtaggerRef> records, const QString &fileName);
    // Drops a save under way: the slices stop, and a write the worker has
    // begun is waited for (its file is whole, old or new).
    void Cancel();
    bool Running() const { return m_slicing || m_writing; }

    // A background save ended: whether the file was written, and why not.
    std::function<void(bool written, const QString &errorText)> OnSaved;

private:
    struct Written {
        bool ok = false;
        QString errorText;
    };
    void slice();
    void joinWorker();

    std::vector<TtaggerRef> m_records;
    size_t m_next = 0;
    TtrackListWriter m_writer;
    QString m_fileName;
    bool m_slicing = false;
    bool m_writing = false;
    QTimer m_slices;
    // The worker of the one write under way; started and joined by the GUI
    // thread, it reports through the hand-over.
    std::thread m_worker;
    TguiHandover<Written> m_written;
};
