#include "ui/forms/fileChooser.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>
#include <QStringList>

QString DialogNameFilters(const QString &filter)
{
    static const QRegularExpression bracketedTail(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList names;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(bracketedTail);
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns)
            pattern = pattern.trimmed();
        names << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return names.join(QStringLiteral(";;"));
}

QString ChooseFileWithDialog(QWidget *parent, const TfileRequest &request)
{
    // A folder not set yet (the cartridge folder starts empty) is the home folder.
    QFileDialog dialog(parent, request.title, request.folder.isEmpty() ? QDir::homePath() : request.folder);
    dialog.setNameFilter(DialogNameFilters(request.filter));
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.mode == TfileRequest::frSave) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}
