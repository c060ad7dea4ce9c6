#include "ui/forms/playlistFileChooser.h"

#include "core/dmMain.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

QString runDialog(QWidget *parent, const QString &folder, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, QString(), folder, QString::fromLatin1(TplaylistFileChooser::kFilter));
    dialog.setAcceptMode(mode);
    if (mode == QFileDialog::AcceptSave) {
        dialog.setDefaultSuffix(QStringLiteral("m3u"));
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString TplaylistFileChooser::OpenFrom(QWidget *parent, TdmMain &core) const
{
    const QString file = Open(parent, core.Settings().PlaylistFolder);
    if (!file.isEmpty())
        core.SetPlaylistFolder(QFileInfo(file).absolutePath());
    return file;
}

QString TplaylistFileChooser::OpenPlaylistFile(QWidget *parent, const QString &folder)
{
    return runDialog(parent, folder, QFileDialog::AcceptOpen);
}

QString TplaylistFileChooser::SavePlaylistFile(QWidget *parent, const QString &folder)
{
    return runDialog(parent, folder, QFileDialog::AcceptSave);
}
