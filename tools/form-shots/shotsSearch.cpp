// The music search window and the three pages of the preferences.
#include "formShots.h"

#include "core/dmMain.h"
#include "ui/forms/frmMusicSearch.h"
#include "ui/forms/frmPreferences.h"

namespace {

// A couple of music folders, as a user would have them.
void sampleFolders(TdmMain &core)
{
    if (core.Settings().DirList.isEmpty())
        core.SetMusicFolders({ QStringLiteral("/home/ann/Music/"), QStringLiteral("/srv/media/Music/Collected Albums/"),
            QStringLiteral("/mnt/backup/Vinyl Rips/") });
}

QWidget *preferencesOn(TdmMain &core, TpreferencesPage page)
{
    sampleFolders(core);
    auto *window = new TfrmPreferences(core);
    window->SetPage(page);
    return window;
}

const TformShotRegistration musicSearch { TformShot { QStringLiteral("musicSearch"), [](TdmMain &core) -> QWidget * {
                                                         sampleFolders(core);
                                                         return new TfrmMusicSearch(core);
                                                     } } };
const TformShotRegistration preferencesFolders { TformShot {
    QStringLiteral("preferences-folders"), [](TdmMain &core) { return preferencesOn(core, ppMusicFolders); } } };
const TformShotRegistration preferencesCrossFade { TformShot {
    QStringLiteral("preferences-crossfade"), [](TdmMain &core) { return preferencesOn(core, ppCrossFader); } } };
const TformShotRegistration preferencesGeneral { TformShot {
    QStringLiteral("preferences-general"), [](TdmMain &core) { return preferencesOn(core, ppGeneral); } } };

} // namespace
