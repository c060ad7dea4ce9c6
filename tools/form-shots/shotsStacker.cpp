// The stacker's windows and the small dialogs of the jukebox, for the gallery.
#include "formShots.h"

#include "core/alarmClock.h"
#include "core/dmMain.h"
#include "library/tagAlbum.h"
#include "ui/controls/treeNodesModel.h"
#include "ui/forms/frmAbout.h"
#include "ui/forms/frmAlarmSettings.h"
#include "ui/forms/frmChooseCD.h"
#include "ui/forms/frmGetPlaylistAlbumName.h"
#include "ui/forms/frmProgress.h"
#include "ui/forms/frmQueueMoveTo.h"
#include "ui/forms/frmStackerList.h"

#include <QLineEdit>
#include <QThread>
#include <QTreeView>

namespace {

QWidget *stackerShot(TdmMain &core)
{
    const Tmp3JukeBoxLists &library = core.jblMain();
    core.StackerEmpty();
    for (int i : { 0, 3, 7 })
        core.StackerAddAlbum(*library.AlbumList().Albums(i));
    auto *chooseCD = new TfrmChooseCD(core);
    auto *albumName = new TfrmGetPlaylistAlbumName;
    auto *window = new TfrmStackerList(core, *chooseCD, *albumName);
    chooseCD->setParent(window, chooseCD->windowFlags());
    albumName->setParent(window, albumName->windowFlags());
    // As a user leaves it: the second album open, one of its tracks chosen.
    auto *tree = window->findChild<QTreeView *>(QStringLiteral("tvStackerList"));
    tree->setCurrentIndex(tree->model()->index(2, 0, tree->model()->index(1, 0)));
    return window;
}

QWidget *chooseCDShot(TdmMain &core)
{
    auto *window = new TfrmChooseCD(core);
    window->Fill();
    auto *tree = window->findChild<QTreeView *>();
    const QModelIndex letterA = tree->model()->index(0, 0);
    tree->expand(letterA);
    const QModelIndex air = tree->model()->index(0, 0, letterA);
    tree->expand(air);
    tree->setCurrentIndex(tree->model()->index(1, 0, air));
    return window;
}

QWidget *albumNameShot(TdmMain &)
{
    auto *window = new TfrmGetPlaylistAlbumName;
    window->findChild<QLineEdit *>(QStringLiteral("edAlbumName"))->setText(QStringLiteral("Sunday Morning"));
    return window;
}

QWidget *moveToShot(TdmMain &)
{
    auto *window = new TfrmQueueMoveTo;
    window->Prepare(24, 6, QPoint(100, 100));
    return window;
}

QWidget *alarmShot(TdmMain &)
{
    auto *window = new TfrmAlarmSettings;
    TalarmClock alarms;
    alarms.SetUseTimeOn(true);
    alarms.SetTimeOn(QTime(7, 0));
    alarms.SetTimeOff(QTime(23, 30));
    window->ReadAlarms(alarms);
    return window;
}

QWidget *progressShot(TdmMain &)
{
    auto *window = new TfrmProgress;
    window->Begin(QStringLiteral("Loading the library"), 24000);
    // Work shows its window only once it has taken a while.
    QThread::msleep(300);
    window->Step(9800, QStringLiteral("9,801 of 24,000"));
    return window;
}

QWidget *aboutShot(TdmMain &)
{
    return new TfrmAbout;
}

const TformShotRegistration stacker({ QStringLiteral("stacker"), stackerShot });
const TformShotRegistration chooseCD({ QStringLiteral("choose-cd"), chooseCDShot });
const TformShotRegistration albumName({ QStringLiteral("album-name"), albumNameShot });
const TformShotRegistration moveTo({ QStringLiteral("move-to"), moveToShot });
const TformShotRegistration alarm({ QStringLiteral("alarm-settings"), alarmShot });
const TformShotRegistration progress({ QStringLiteral("progress"), progressShot });
const TformShotRegistration about({ QStringLiteral("about"), aboutShot });

} // namespace
