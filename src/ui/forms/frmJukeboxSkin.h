#pragma once

#include "ui/controls/skinKeys.h"

#include <QDialog>
#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TcolorPanel;
class TdmMain;
class TfrmJukebox;
class TvorlenPanel;

// What a node of the Skins dialog's font tree edits.
enum TskinElement {
    seLabel, // a label of the jukebox window: its font
    seClock, // the clock: font and background
    seBanner, // the song title banner: font and background
    seTimer, // the large timer: font and back colour
    seTree, // the library tree: font and colour
    seListBox, // the song list or the queue list: font and colour
    seFont, // a font that belongs to no control of its own
};

// The fonts of their own the dialog edits.
enum TskinFontObject { sfNone, sfTreeFont, sfTreeDetailFont, sfMenuFont };

// A node's working copy of its element, taken when the dialog opens and
// written back by Apply.
struct TskinRec {
    TskinFont font;
    // The background the element is drawn on; unused for labels.
    QColor background;
    TskinElement element = seFont;
    // The control edited: a label, a list box, the tree, the clock, the
    // banner or the timer; null for a font of its own.
    QWidget *control = nullptr;
    TskinFontObject fontObject = sfNone;
};

// Whether the element's background can be chosen: the lists, the tree, the
// timer, the clock and the banner; not labels and fonts of their own.
bool EditsBackground(TskinElement element);

// "Skins": the jukebox window's two skin colours and the fonts and
// background colours of its displays, lists, menu and labels. Each node of
// the font tree edits a working copy of its element; a choice made on a node
// goes to every node under it, so a group node sets all its labels at once.
// Apply writes every copy back to the window, which shows the fonts at once
// and keeps them for the skin file it writes at exit; a change of either
// skin colour is saved into the skin file at once and the skin applied
// again. Cancel changes nothing. The Skins page (skin files) is shown but
// inert.
//
// Made once; every opening takes the window's current values and closing
// lets go of them. GUI thread only.
class TfrmJukeboxSkin : public QDialog {
public:
    TfrmJukeboxSkin(TfrmJukebox &window, TdmMain &core, QWidget *parent = nullptr);
    ~TfrmJukeboxSkin() override;

    // Opens the dialog modally. After Apply the window takes the two colours
    // of the colour panels (TfrmJukebox::TakeSkinColors). Returns the
    // dialog's result.
    int Execute();

    QColor ButtonColor() const;
    QColor PanelColor() const;
    // The record of the chosen node; null while no node is chosen.
    const TskinRec *CurrentRecord() const { return m_current; }

    // The choosers, the desktop's font and colour dialogs unless replaced:
    // each starts from its argument, changes it to the user's choice and
    // answers true on OK, false (leaving it) on cancel.
    std::function<bool(QFont &font)> ChooseFont;
    std::function<bool(QColor &color)> ChooseColor;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *makeColorsPage();
    QWidget *makeSkinsPage();

    // The font tree with fresh records of the window's current values.
    void openRecords();
    void releaseRecords();
    QTreeWidgetItem *addNode(QTreeWidgetItem *parent, const QString &caption, const TskinRec &record);
    TskinRec *recordOf(QTreeWidgetItem *item);
    TskinRec controlRecord(TskinElement element, QWidget *control) const;
    TskinRec fontRecord(TskinFontObject object) const;
    void writeRecord(const TskinRec &record);

    void tvFontsChange(QTreeWidgetItem *item);
    void btnFontClick();
    void btnFontColorClick();
    void btnBackgroundColorClick();
    void colorPanelClick(TcolorPanel *panel);
    void btnApplyClick();
    // Gives the chosen node's record and every record under it the change.
    void changeBranch(const std::function<void(TskinRec &)> &change);
    void showSample();

    TfrmJukebox &m_window;
    TdmMain &m_core;

    QTabWidget *m_pcSkins;
    TcolorPanel *m_pnlButtonColor;
    TcolorPanel *m_pnlPanelColor;
    QTreeWidget *m_tvFonts;
    QPushButton *m_btnFont;
    QPushButton *m_btnFontColor;
    QPushButton *m_btnBackgroundColor;
    TvorlenPanel *m_pnlSample;
    QLabel *m_lblSample;

    // One record per node, in the tree's order (a node before the nodes
    // under it); held only while the dialog is open.
    std::vector<TskinRec> m_records;
    TskinRec *m_current = nullptr;
};
