#pragma once

#include <QDialog>
#include <QStringList>

// The about box: the program's name and what it is, its version and the
// commit it was built from, and the libraries it runs on with the versions
// found at run time.
class TfrmAbout : public QDialog {
public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    void Execute();
};

// "Vorlen Mp3 Jukebox" with the project version and the commit of this build.
QString ProgramVersionText();
// The libraries the program runs on, "Name version" each, as their run-time
// libraries report themselves: Qt, FFmpeg, SDL, FFTW.
QStringList RuntimeLibraryVersions();
