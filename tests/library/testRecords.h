#pragma once

#include "library/libraryTree.h"
#include "metadata/id3Tagger.h"

#include <QString>
#include <QStringList>
#include <ostream>
#include <vector>

// Readable failure messages for texts.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// A track record made in memory, without a file.
struct RecordSpec {
    QString title;
    QString artist;
    QString album;
    QString filename;
    quint32 track = 0;
    double duration = 0;
};

inline Tid3Tagger *MakeRecord(const RecordSpec &spec)
{
    auto *record = new Tid3Tagger;
    record->SetTitle(spec.title);
    record->SetArtist(spec.artist);
    record->SetAlbum(spec.album);
    record->SetFilename(spec.filename);
    record->SetTrack(spec.track);
    record->SetDuration(spec.duration);
    return record;
}

// A tree that records what it is filled with, for checking texts and shape.
class RecordingTree : public TlibraryTree {
public:
    struct Node {
        int parent; // -1 for a root
        QString text;
        TlistObject object;
    };

    void BeginUpdate() override { ++beginCount; }
    void EndUpdate() override { ++endCount; }
    void Clear() override { nodes.clear(); }
    TlibraryTree::Node AddChild(TlibraryTree::Node parent, const QString &text, TlistObject object) override
    {
        nodes.push_back(Node{parent ? int(reinterpret_cast<qintptr>(parent)) - 1 : -1, text, object});
        return reinterpret_cast<TlibraryTree::Node>(qintptr(nodes.size()));
    }

    int IndexOf(TlibraryTree::Node node) const { return int(reinterpret_cast<qintptr>(node)) - 1; }
    // Texts of the children of a node (-1: the roots).
    QStringList Children(int parent) const
    {
        QStringList texts;
        for (const Node &n : nodes) {
            if (n.parent == parent)
                texts.append(n.text);
        }
        return texts;
    }
    int Find(const QString &text, int parent) const
    {
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (nodes[i].parent == parent && nodes[i].text == text)
                return int(i);
        }
        return -2;
    }

    std::vector<Node> nodes;
    int beginCount = 0;
    int endCount = 0;
};
