#pragma once

#include "library/treeNodes.h"
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
inline void PrintTo(const QStringList &texts, std::ostream *os)
{
    *os << '[' << texts.join(QStringLiteral(" | ")).toStdString() << ']';
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

// The tree the windows show, counting its updates, with lookups by index.
class RecordingTree : public TtreeNodes {
public:
    void BeginUpdate() override
    {
        ++beginCount;
        TtreeNodes::BeginUpdate();
    }
    void EndUpdate() override
    {
        ++endCount;
        TtreeNodes::EndUpdate();
    }

    int IndexOf(TtreeNode node) const { return node.Index(); }
    // Texts of the children of a node (-1: the roots).
    QStringList Children(int parent) const
    {
        QStringList texts;
        for (int row = 0; row < ChildCount(TtreeNode(parent)); ++row)
            texts.append(Text(Child(TtreeNode(parent), row)));
        return texts;
    }
    // The child of parent (-1: a root) with the text; -2 when there is none.
    int Find(const QString &text, int parent) const
    {
        for (int row = 0; row < ChildCount(TtreeNode(parent)); ++row) {
            const TtreeNode child = Child(TtreeNode(parent), row);
            if (Text(child) == text)
                return child.Index();
        }
        return -2;
    }

    int beginCount = 0;
    int endCount = 0;
};

