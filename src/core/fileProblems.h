#pragma once

#include "platform/fileProblem.h"

#include <QString>
#include <QStringList>
#include <vector>

class TcoreUserInterface;

// What the jukebox could not read whole or could not write, gathered so that
// the user hears of it in one message instead of a box per file, or not at
// all.
//
// A file not read whole is kept beside itself as NAME.damaged as soon as it
// is reported, before anything can overwrite it, and is named once per run
// in a notice the jukebox goes on behind. Write failures are gathered over a
// save pass and shown in one message that the user closes: the program waits
// for it before it ends. A write failure reported outside a save pass is
// shown at once.
//
// GUI thread only.
class TfileProblems {
public:
    explicit TfileProblems(TcoreUserInterface &ui) : m_ui(ui) {}

    // A file that could not be read whole; the reason says what was wrong.
    // A file already reported in this run is not reported again.
    void Damaged(const TfileProblem &problem);
    void Damaged(const std::vector<TfileProblem> &problems);
    // One notice naming every file reported so far, when one was added since
    // the last notice.
    void ShowReadNotice();
    QString ReadNoticeText() const;

    void BeginSave();
    void WriteFailed(const TfileProblem &problem);
    void WriteFailed(const std::vector<TfileProblem> &problems);
    // Ends the save pass with one message listing each file that could not
    // be written and why, when there was one.
    void EndSave();
    bool Saving() const { return m_saving; }

    // What a folder scan could not reach: music folders that are not there,
    // and folders and files that could not be read. One notice, when there
    // was any.
    void ShowScanNotice(const QStringList &missingFolders, const std::vector<TfileProblem> &unreadable);

    // A playlist file read at the user's request has entries that name no
    // file here (a list made on another machine, a drive path from Windows):
    // one notice with how many, and which.
    void ShowEntriesNotFound(const QString &listFile, const QStringList &notFound, int entries);

    static QString WriteMessageText(const std::vector<TfileProblem> &failures);
    static QString ScanNoticeText(const QStringList &missingFolders, const std::vector<TfileProblem> &unreadable);

private:
    struct Damage {
        TfileProblem problem;
        // The name the file was kept under; empty when it could not be kept,
        // with why in keepError.
        QString keptAs;
        QString keepError;
    };

    TcoreUserInterface &m_ui;
    std::vector<Damage> m_damaged;
    int m_shown = 0;
    std::vector<TfileProblem> m_writeFailures;
    bool m_saving = false;
};
