#pragma once

#include <QDialog>

class QLineEdit;

// The album-name prompt: the name under which the stacker imports a playlist
// file, so that it looks like an album there. It cannot be closed while the
// name is blank, whichever way the user tries (OK, Escape, the window's close
// button); closing it with a name gives that name.
class TfrmGetPlaylistAlbumName : public QDialog {
public:
    explicit TfrmGetPlaylistAlbumName(QWidget *parent = nullptr);

    // Shows the prompt modally with the given name filled in; the name
    // entered, trimmed, never empty.
    QString Execute(const QString &initialName);

    void done(int result) override;

private:
    QLineEdit *m_edit;
};
