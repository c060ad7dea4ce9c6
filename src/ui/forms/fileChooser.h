#pragma once

#include <QString>
#include <functional>

class QWidget;

// One file asked of the user, as the windows ask for it.
struct TfileRequest {
    enum Mode { frOpen, frSave };
    Mode mode = frOpen;
    // The dialog's title; empty for the dialog's own.
    QString title;
    // Pairs of description and patterns separated by "|", patterns by ";":
    // "Stacker Cartridges (*.vst)|*.vst".
    QString filter;
    // The folder the dialog starts in.
    QString folder;
    // Added by the dialog to a name typed without an extension ("vst").
    QString defaultSuffix;
};

// Asks for one file; the chosen file's path, or empty when the user
// cancelled. Windows take one so that tests can answer without a dialog.
using TfileChooser = std::function<QString(const TfileRequest &request)>;

// The desktop's file dialog, modal over parent.
QString ChooseFileWithDialog(QWidget *parent, const TfileRequest &request);

// A "description|patterns|..." filter as the file dialog takes its name
// filters: "Mp3 Files (*.mp3;*.mp2)|*.mp3;*.mp2" gives
// "Mp3 Files (*.mp3 *.mp2)": the patterns in brackets are the ones the
// filter applies, so the description's own bracketed list is replaced.
QString DialogNameFilters(const QString &filter);
