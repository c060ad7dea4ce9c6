#include "ui/forms/folderNameFit.h"

#include <QFontMetrics>

namespace {

const QString kEllipsis = QStringLiteral(".../");

// Replaces the first folder of a folder part (ending in "/") by "...",
// keeping a leading "/" and dropping an ellipsis a previous cut left.
QString cutFirstFolder(QString folder)
{
    if (folder == QStringLiteral("/"))
        return QString();
    const bool root = folder.startsWith(u'/');
    if (root)
        folder.remove(0, 1);
    if (folder.startsWith(kEllipsis))
        folder.remove(0, kEllipsis.size());
    const qsizetype separator = folder.indexOf(u'/');
    folder = separator < 0 ? QString() : kEllipsis + folder.mid(separator + 1);
    return root ? u'/' + folder : folder;
}

} // namespace

QString FitFolderName(const QString &path, const QFontMetrics &metrics, int maxWidth)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    QString folder = path.left(slash + 1);
    const QString name = path.mid(slash + 1);
    QString text = path;
    while (!folder.isEmpty() && metrics.horizontalAdvance(text) > maxWidth) {
        folder = folder == QStringLiteral("/.../") ? kEllipsis : cutFirstFolder(folder);
        text = folder + name;
    }
    return text;
}
