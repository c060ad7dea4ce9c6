#include "core/fileProblems.h"

#include "core/userInterface.h"
#include "platform/damagedFile.h"
#include "platform/fileNames.h"

#include <QFileInfo>
#include <algorithm>
#include <utility>

namespace {

const QString kReadCaption = QStringLiteral("File Read Error");
const QString kWriteCaption = QStringLiteral("File Write Error");
const QString kScanCaption = QStringLiteral("Scan Folders");

QString problemLine(const TfileProblem &problem)
{
    return ReadableFileName(problem.path) + QStringLiteral(": ") + problem.reason;
}

} // namespace

void TfileProblems::Damaged(const TfileProblem &problem)
{
    const bool known = std::any_of(m_damaged.begin(), m_damaged.end(),
                                   [&](const Damage &damage) { return damage.problem.path == problem.path; });
    if (known)
        return;
    Damage damage{problem, QString(), QString()};
    // Only a file can be kept: a folder in a file's place stays where it is.
    if (QFileInfo(problem.path).isFile())
        damage.keptAs = KeepDamagedFile(problem.path, &damage.keepError);
    m_damaged.push_back(damage);
}

void TfileProblems::Damaged(const std::vector<TfileProblem> &problems)
{
    for (const TfileProblem &problem : problems)
        Damaged(problem);
}

QString TfileProblems::ReadNoticeText() const
{
    QStringList lines{QStringLiteral("These files could not be read whole. What could be read of them is in use.")};
    for (const Damage &damage : m_damaged) {
        QString line = problemLine(damage.problem) + u'.';
        if (!damage.keptAs.isEmpty())
            line += QStringLiteral(" The file is kept as %1.").arg(QFileInfo(damage.keptAs).fileName());
        else if (!damage.keepError.isEmpty())
            line += QStringLiteral(" It could not be kept (%1).").arg(damage.keepError);
        lines << QString() << line;
    }
    return lines.join(u'\n');
}

void TfileProblems::ShowReadNotice()
{
    if (int(m_damaged.size()) == m_shown)
        return;
    m_shown = int(m_damaged.size());
    m_ui.ShowNotice(ReadNoticeText(), kReadCaption, TmessageIcon::Exclamation);
}

void TfileProblems::BeginSave()
{
    m_saving = true;
    m_writeFailures.clear();
}

void TfileProblems::WriteFailed(const TfileProblem &problem)
{
    if (!m_saving) {
        m_ui.ShowMessage(WriteMessageText({problem}), kWriteCaption, TmessageIcon::Exclamation);
        return;
    }
    if (std::find(m_writeFailures.begin(), m_writeFailures.end(), problem) == m_writeFailures.end())
        m_writeFailures.push_back(problem);
}

void TfileProblems::WriteFailed(const std::vector<TfileProblem> &problems)
{
    for (const TfileProblem &problem : problems)
        WriteFailed(problem);
}

void TfileProblems::EndSave()
{
    m_saving = false;
    if (m_writeFailures.empty())
        return;
    const std::vector<TfileProblem> failures = std::exchange(m_writeFailures, {});
    m_ui.ShowMessage(WriteMessageText(failures), kWriteCaption, TmessageIcon::Exclamation);
}

void TfileProblems::ShowEntriesNotFound(const QString &listFile, const QStringList &notFound, int entries)
{
    if (notFound.isEmpty())
        return;
    constexpr int kShown = 12;
    QStringList lines{QStringLiteral("%1 of the %2 entries of %3 name no file that can be found:")
                          .arg(notFound.size())
                          .arg(entries)
                          .arg(ReadableFileName(listFile))};
    for (const QString &entry : notFound.mid(0, kShown))
        lines << ReadableFileName(entry);
    if (notFound.size() > kShown)
        lines << QStringLiteral("and %1 more.").arg(notFound.size() - kShown);
    m_ui.ShowNotice(lines.join(u'\n'), QStringLiteral("Playlist Entries Not Found"), TmessageIcon::Warning);
}

QString TfileProblems::WriteMessageText(const std::vector<TfileProblem> &failures)
{
    QStringList lines{QStringLiteral("Error writing settings files."), QString(),
                      failures.size() == 1 ? QStringLiteral("This file could not be written:")
                                           : QStringLiteral("These files could not be written:")};
    for (const TfileProblem &failure : failures)
        lines << problemLine(failure);
    return lines.join(u'\n');
}

QString TfileProblems::ScanNoticeText(const QStringList &missingFolders, const std::vector<TfileProblem> &unreadable)
{
    QStringList lines;
    if (!missingFolders.isEmpty()) {
        lines << (missingFolders.size() == 1
                      ? QStringLiteral("This music folder was not found; its tracks stay in the library:")
                      : QStringLiteral("These music folders were not found; their tracks stay in the library:"));
        for (const QString &folder : missingFolders)
            lines << ReadableFileName(folder);
    }
    if (!unreadable.empty()) {
        if (!lines.isEmpty())
            lines << QString();
        lines << QStringLiteral("These could not be read; nothing in them was added, and nothing below a folder "
                                "was removed:");
        for (const TfileProblem &problem : unreadable)
            lines << problemLine(problem);
    }
    return lines.join(u'\n');
}

void TfileProblems::ShowScanNotice(const QStringList &missingFolders, const std::vector<TfileProblem> &unreadable)
{
    if (missingFolders.isEmpty() && unreadable.empty())
        return;
    m_ui.ShowNotice(ScanNoticeText(missingFolders, unreadable), kScanCaption, TmessageIcon::Exclamation);
}
