#pragma once

#include <QString>
#include <QStringList>
#include <unordered_map>
#include <vector>

// Many file paths, in the order they were added, each kept as its folder and
// its name, both implicitly shared with the texts they were given: a list
// filled from a library's records, which keep their paths so, copies no text
// and keeps each folder once. A second copy of every full path of a library
// of a million tracks would cost some 250 bytes a track.
//
// Not locked. The texts are shared through Qt's atomic reference counts, so a
// list filled on one thread may be moved to and read on another while its
// sources go on changing theirs.
class TpathList {
public:
    TpathList() = default;
    // Each path kept whole, as its name.
    TpathList(const QStringList &paths);

    void Reserve(qsizetype count) { m_entries.reserve(size_t(count)); }
    // folder empty or ending with "/", as a record keeps it; a text that owns
    // its characters (not made over a caller's buffer). A folder given as
    // the same shared text as before is kept once.
    void Append(const QString &folder, const QString &name);
    qsizetype Count() const { return qsizetype(m_entries.size()); }
    bool IsEmpty() const { return m_entries.empty(); }
    QString Path(qsizetype index) const;

private:
    struct Entry {
        quint32 folder;
        QString name;
    };

    std::vector<QString> m_folders;
    // Where a folder's text lives, for the folders kept: a text shared with
    // a kept folder can neither change nor be freed while the list keeps it,
    // so one place holds one folder.
    std::unordered_map<const QChar *, quint32> m_folderAt;
    std::vector<Entry> m_entries;
};
