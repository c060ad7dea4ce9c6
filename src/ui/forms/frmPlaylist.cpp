#include "ui/forms/frmPlaylist.h"

#include "core/dmMain.h"
#include "library/stringList.h"
#include "library/tagPlaylist.h"
#include "ui/forms/dialogParts.h"

#include <QListWidget>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmPlaylist::TfrmPlaylist(TdmMain &core, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint), m_core(core)
{
    setObjectName(QStringLiteral("frmPlaylist"));
    setWindowTitle(QStringLiteral("Playlist"));
    setMinimumSize(100, 100);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("lbPlaylist"));
    m_status = new TplaylistStatusBar(this);
    m_status->setObjectName(QStringLiteral("sbPlaylist"));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);
    resize(420, 360);
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
    const TtaggerList &playlist = m_core.PlaylistInUse();
    TstringList lines;
    playlist.FillStringsAsStored(lines);
    ShowLines(*m_list, lines);
    m_status->ShowPlaylist(playlist);
}
