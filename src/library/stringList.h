#pragma once

#include "library/component.h"

#include <QString>
#include <variant>
#include <vector>

class TcustomTagger;
class TcustomTaggerList;
struct TvorlenFileRec;

// What a line of a string list or a tree node stands for. Albums, artists and
// playlists are track lists (tell them apart with dynamic_cast).
using TlistObject = std::variant<std::monostate, TcustomTagger *, TcustomTaggerList *, const TvorlenFileRec *>;

// An ordered list of text lines, each with an object attached: what list
// boxes, search results and scan results are filled into. It never owns the
// objects.
class TstringList {
public:
    struct Line {
        QString text;
        TlistObject object;
    };

    int Count() const { return int(m_lines.size()); }
    const QString &Strings(int index) const { return m_lines[size_t(index)].text; }
    const TlistObject &Objects(int index) const { return m_lines[size_t(index)].object; }
    // The attached object as the given pointer type; null when the line holds
    // another kind of object.
    template <typename T>
    T *ObjectAs(int index) const
    {
        if (auto *p = std::get_if<T *>(&m_lines[size_t(index)].object))
            return *p;
        return nullptr;
    }
    const std::vector<Line> &Lines() const { return m_lines; }

    void Add(const QString &text, TlistObject object = {});
    void Clear();
    int IndexOf(const QString &text) const;
    void Reserve(int count) { m_lines.reserve(size_t(count)); }

    // Counted: OnChange is raised once, by the EndUpdate that balances the first
    // BeginUpdate, when anything changed in between.
    void BeginUpdate();
    void EndUpdate();
    TNotifyEvent OnChange;

private:
    void changed();

    std::vector<Line> m_lines;
    int m_updateCount = 0;
    bool m_changedDuringUpdate = false;
};
