#pragma once

#include "library/libraryEdit.h"
#include "library/mp3JukeBoxLists.h"

#include <optional>

// Edits a library in place through the library's own edit (TlibraryEdit),
// as the folder watch's batches are taken, and hands over the change set it
// announced: what the tests and the benchmarks of the faces that follow such
// changes drive them with. The library is indexed and not suspended.
class LibraryEditor {
public:
    explicit LibraryEditor(Tmp3JukeBoxLists &library)
        : m_library(library)
    {
    }

    // Takes the record over.
    void Add(TcustomTagger *record) { edit().Add(record); }
    void Remove(TcustomTagger *record) { edit().Remove(*record); }
    // change edits the record's tags as a file read again would.
    template <typename Edit> void Change(TcustomTagger *record, Edit change)
    {
        edit().Change(*record);
        change(*record);
    }
    void Retitle(TcustomTagger *record, const QString &title)
    {
        Change(record, [&title](TcustomTagger &changed) { changed.SetTitle(title); });
    }
    void Move(TcustomTagger *record, const QString &fileName)
    {
        edit().Move(*record);
        record->SetFilename(fileName);
    }
    void SetUnavailable(TcustomTagger *record, bool value) { edit().SetUnavailable(*record, value); }

    // The edit so far, taken by the library and announced.
    TlibraryChanges Take()
    {
        TlibraryChanges changes = m_edit ? m_edit->Commit() : TlibraryChanges();
        m_edit.reset();
        return changes;
    }

private:
    TlibraryEdit &edit()
    {
        if (!m_edit)
            m_edit.emplace(m_library);
        return *m_edit;
    }

    Tmp3JukeBoxLists &m_library;
    std::optional<TlibraryEdit> m_edit;
};
