#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <list>

class TcustomTagger;

// Covers for the guests' page: a track's cover (the picture file named after
// its artist and album, else the picture stored in its file) scaled to fit a
// square of the size asked for and sent as JPEG, never the file itself. The
// latest few are kept, by where the picture came from and the size, so the
// tracks of one album share one.
//
// GUI thread only.
class TcoverImages {
public:
    static constexpr int kKept = 256;

    // The JPEG of the track's cover at size pixels; empty when it has none.
    QByteArray Cover(const TcustomTagger &track, const QString &coverFolder, int size);
    int Kept() const { return int(m_entries.size()); }

private:
    struct Entry {
        QString key;
        QByteArray jpeg;
    };
    const QByteArray *find(const QString &key);
    void keep(const QString &key, QByteArray jpeg);

    std::list<Entry> m_entries;
    QHash<QString, std::list<Entry>::iterator> m_index;
};

// The picture's bytes (any format Qt reads) scaled to fit size × size,
// never enlarged, as JPEG; empty when they are no picture.
QByteArray ScaledJpeg(const QByteArray &picture, int size);
