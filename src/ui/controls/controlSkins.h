#pragma once

class QWidget;
class TiniFile;
class TtransparentSplitter;
class TvorlenButton;
class TvorlenMultiButton;
class TvorlenPanel;
class TvorlenScrollBar;

// Each skinned control keeps its bitmaps in a skin file section named after
// the control's object name, each bitmap in a file beside the skin file
// whose path the section stores. The load routines replace only bitmaps the
// skin file has a file for, and raise VorlenError for a bitmap file that
// cannot be read; the save routines write the bitmaps at once (raising
// VorlenError when they cannot) and the keys into skin, whose owner decides
// when to write the skin file itself.

// A skinned button's strip ("SkinBitmap"); loading resizes the button's
// width to one frame.
void LoadButtonSkin(TvorlenButton &button, const TiniFile &skin);
void SaveButtonSkin(const TvorlenButton &button, TiniFile &skin);
// A skinned panel's nine pieces and its stretch flag; loading replaces only
// pieces the panel has and fits the panel to them.
void LoadPanelSkin(TvorlenPanel &panel, const TiniFile &skin);
void SavePanelSkin(const TvorlenPanel &panel, TiniFile &skin);
void LoadSplitterSkin(TtransparentSplitter &splitter, const TiniFile &skin);
void SaveSplitterSkin(const TtransparentSplitter &splitter, TiniFile &skin);
// The arrows', thumb's and background's bitmaps; loading sizes each button
// to one frame and the bar's thickness to the background.
void LoadScrollBarSkin(TvorlenScrollBar &bar, const TiniFile &skin);
void SaveScrollBarSkin(const TvorlenScrollBar &bar, TiniFile &skin);
// The four-frame strip; loading sizes the control to one frame.
void LoadMultiButtonSkin(TvorlenMultiButton &button, const TiniFile &skin);
void SaveMultiButtonSkin(const TvorlenMultiButton &button, TiniFile &skin);

// Every skinned control under owner with its section of one skin file, in
// the order the window holds them: the named buttons, the panels, the scroll
// bars, the splitters and the play controls.
void LoadControlSkins(QWidget &owner, const TiniFile &skin);
void SaveControlSkins(const QWidget &owner, TiniFile &skin);

// Give target the skin bitmaps of source (a control of the same name in a
// freshly built window) and the size they call for.
void CopyButtonSkin(const TvorlenButton &source, TvorlenButton &target);
void CopyPanelSkin(const TvorlenPanel &source, TvorlenPanel &target);
void CopySplitterSkin(const TtransparentSplitter &source, TtransparentSplitter &target);
void CopyScrollBarSkin(const TvorlenScrollBar &source, TvorlenScrollBar &target);
void CopyMultiButtonSkin(const TvorlenMultiButton &source, TvorlenMultiButton &target);
