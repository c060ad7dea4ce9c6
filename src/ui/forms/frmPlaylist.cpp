#include "ui/forms/frmPlaylist.h"

#include "core/dmMain.h"
#include "core/playlistEditor.h"
#include "library/stringList.h"
#include "library/tagPlaylist.h"

#include <QLabel>
#include <QListWidget>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

TfrmPlaylist::TfrmPlaylist(TdmMain &core, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_core(core)
{
    setObjectName(QStringLiteral("frmPlaylist"));
    setWindowTitle(QStringLiteral("Playlist"));
    setMinimumSize(100, 100);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lbPlaylist"));
    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("sbPlaylist"));
    const char *panels[] = {"stCount", "stPlayTime", "stArtistCount"};
    for (int i = 0; i < 3; ++i) {
        m_status[i] = new QLabel(status);
        m_status[i]->setObjectName(QLatin1StringView(panels[i]));
        status->addWidget(m_status[i], 1);
    }

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_list, 1);
    layout->addWidget(status);
    resize(420, 360);
}

TtaggerList &TfrmPlaylist::PlaylistInUse(TdmMain &core)
{
    TtagPlayListCollection &collection = core.jblMain().PlaylistCollection();
    if (collection.Active() && collection.ActivePlaylist())
        return *collection.ActivePlaylist();
    return core.jblMain().LoadedPlaylist();
}

void TfrmPlaylist::ShowPlaylist()
{
    show();
    raise();
    activateWindow();
}

void TfrmPlaylist::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        fill();
    QWidget::showEvent(event);
}

void TfrmPlaylist::fill()
{
    TtaggerList &playlist = PlaylistInUse(m_core);
    TstringList lines;
    playlist.FillStrings(lines);
    m_list->clear();
    for (const TstringList::Line &line : lines.Lines())
        m_list->addItem(line.text);
    const QStringList texts = PlaylistStatusTexts(playlist);
    for (int i = 0; i < 3; ++i)
        m_status[i]->setText(texts.value(i));
}
