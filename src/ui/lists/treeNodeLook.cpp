#include "ui/lists/treeNodeLook.h"

#include "library/customTaggerList.h"
#include "library/tagAlbum.h"
#include "library/tagArtist.h"
#include "library/tagArtistList.h"

namespace {

// "1 album", "2 albums", "0 albums".
QString Count(int count, const QString &noun)
{
    return QString::number(count) + u' ' + noun + (count == 1 ? QString() : QStringLiteral("s"));
}

TcustomTaggerList *TrackListOf(const TtreeNodes &nodes, TtreeNode node)
{
    TcustomTaggerList *const *list = std::get_if<TcustomTaggerList *>(&nodes.Object(node));
    return list ? *list : nullptr;
}

} // namespace

int TreeNodeImage(TtreeNodeKind kind, bool hasChildren, bool expanded, bool selected)
{
    switch (kind) {
    case TtreeNodeKind::Letter:
        if (!hasChildren)
            return 2;
        return expanded || selected ? 1 : 0;
    case TtreeNodeKind::Artist:
        return expanded || selected ? 4 : 3;
    case TtreeNodeKind::Album:
        return expanded || (selected && !hasChildren) ? 6 : 5;
    case TtreeNodeKind::Track:
        return 7;
    case TtreeNodeKind::Playlist:
        return 8;
    }
    return 0;
}

int TreeNodeImageIndex(const TtreeNodes &nodes, TtreeNode node)
{
    return TreeNodeImage(nodes.Kind(node), nodes.HasChildren(node), nodes.Expanded(node), nodes.Selected() == node);
}

QString TreeNodeAnnotation(const TtreeNodes &nodes, TtreeNode node, bool byTitle)
{
    switch (nodes.Kind(node)) {
    case TtreeNodeKind::Letter: {
        const QString &text = nodes.Text(node);
        if (text == TtagArtistList::kNoName)
            return QString();
        const int children = nodes.ChildCount(node);
        if (text == QLatin1StringView("<Compilations>"))
            return QStringLiteral("  (") + Count(children, QStringLiteral("album")) + u')';
        return QStringLiteral("  (") + Count(children, byTitle ? QStringLiteral("track") : QStringLiteral("artist"))
            + u')';
    }
    case TtreeNodeKind::Artist: {
        const auto *artist = dynamic_cast<const TtagArtist *>(TrackListOf(nodes, node));
        if (!artist)
            return QString();
        QString note = QStringLiteral("  (");
        if (const int albums = artist->AlbumList().Count(); albums > 0)
            note += Count(albums, QStringLiteral("album")) + QStringLiteral(", ");
        return note + Count(artist->Count(), QStringLiteral("track")) + u')';
    }
    case TtreeNodeKind::Album: {
        const TcustomTaggerList *album = TrackListOf(nodes, node);
        if (!album)
            return QString();
        const int tracks = album->Count();
        const QString count = tracks == 1 ? QStringLiteral("  (1 track ")
                                          : QStringLiteral("  (") + QString::number(tracks) + QStringLiteral(" tracks");
        return count + QStringLiteral("  [") + MinutesSecondsText(album->TotalDuration()) + QStringLiteral("])");
    }
    case TtreeNodeKind::Track:
    case TtreeNodeKind::Playlist:
        return QString();
    }
    return QString();
}
