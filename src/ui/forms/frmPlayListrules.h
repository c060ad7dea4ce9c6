#pragma once

#include "ui/forms/playlistFileChooser.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class TdmMain;

// The playlist options ("Playlist Options"): the rule that fills the loaded
// playlist, none, an M3U file or a set of genres. OK applies the chosen rule
// through the core; a file that gives no track is refused with a message
// and the dialog stays open, so nothing is lost. Its controls carry their
// component names (rbNoRule, edFilename, cbGenres, lbGenres, btnOK ...).
//
// GUI thread only.
class TfrmPlayListrules : public QDialog {
public:
    explicit TfrmPlayListrules(TdmMain &core, QWidget *parent = nullptr);

    // Shows the window modally; true when OK applied a rule.
    bool Execute();
    void SetFileChooser(TplaylistFileChooser chooser) { m_chooser = std::move(chooser); }

    // The chosen genres, in the list's order.
    QStringList ChosenGenres() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ruleClick();
    void browseClick();
    void addGenreClick();
    void deleteGenreClick();
    void okClick();
    void addGenre(const QString &genre);

    TdmMain &m_core;
    TplaylistFileChooser m_chooser;
    QButtonGroup *m_rules;
    QGroupBox *m_fileGroup;
    QGroupBox *m_genreGroup;
    QLineEdit *m_filename;
    QCheckBox *m_random;
    QComboBox *m_genres;
    QListWidget *m_chosen;
    QPushButton *m_ok;
    // Reading an M3U file lets window messages run; the window stays until
    // the rule is in.
    bool m_applying = false;
};
