// The Skins dialog over a jukebox window of the built-in skin.
#include "formShots.h"

#include "ui/forms/frmJukebox.h"
#include "ui/forms/frmJukeboxSkin.h"

#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

namespace {

QWidget *skinsShot(TdmMain &core)
{
    auto *jukebox = new TfrmJukebox;
    jukebox->ApplySkinColors(QColor(0xcc, 0xcc, 0xe0), QColor(0x44, 0x44, 0x60), true);
    auto *window = new TfrmJukeboxSkin(*jukebox, core);
    jukebox->setParent(window, jukebox->windowFlags());
    // The tree is filled when the dialog shows: then, as a user leaves it,
    // a group of labels open with one of them chosen.
    QTimer::singleShot(0, window, [window] {
        auto *tree = window->findChild<QTreeWidget *>(QStringLiteral("tvFonts"));
        const QList<QTreeWidgetItem *> groups = tree->findItems(QStringLiteral("Track Info Detail"), Qt::MatchExactly);
        if (groups.isEmpty() || groups.first()->childCount() == 0)
            return;
        groups.first()->setExpanded(true);
        tree->setCurrentItem(groups.first()->child(1));
    });
    return window;
}

QWidget *skinFilesShot(TdmMain &core)
{
    QWidget *window = skinsShot(core);
    window->findChild<QTabWidget *>(QStringLiteral("pcSkins"))->setCurrentIndex(1);
    return window;
}

const TformShotRegistration skins { TformShot { QStringLiteral("skins"), skinsShot } };
const TformShotRegistration skinFiles { TformShot { QStringLiteral("skins-files"), skinFilesShot } };

} // namespace
