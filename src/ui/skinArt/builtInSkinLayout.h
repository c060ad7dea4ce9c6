#pragma once

#include <QSize>
#include <array>

// Sizes, proportions and grey levels of the built-in skin: the one place that
// decides how large the main window's skinned controls are and how light each
// surface is. The pictures are grey; tinting turns level 128 into the skin
// colour itself, lower levels into darker shades of it down to black, higher
// levels into lighter shades up to white. Buttons take the button colour on
// their face and the panel colour around it; panels, splitters and scroll
// bar tracks take the panel colour.
namespace builtInSkin {

// Grey levels.
inline constexpr int kNeutral = 128; // the panel colour itself: the window, splitters
inline constexpr int kTopBarLevel = 104; // the title bar with the logo and the window buttons
inline constexpr int kBarLevel = 128; // list title bars, the stacker bar
inline constexpr int kDisplayLevel = 112; // the display panel around the screens
inline constexpr int kScreenLevel = 0; // display screens and list backgrounds: black in any skin
inline constexpr int kScreenRimLevel = 150;
inline constexpr int kCardRimLevel = 96;
inline constexpr int kEdgeLight = 16; // a top highlight line is this much lighter than its bar
inline constexpr int kEdgeDark = 28; // a bottom shadow line is this much darker
inline constexpr int kTrackLevel = 26; // scroll bar tracks

// Button faces (tinted with the button colour) and what is drawn on them.
inline constexpr int kFaceUp = 58;
inline constexpr int kFacePressed = 38;
inline constexpr int kFaceChecked = 76;
inline constexpr int kInkUp = 150;
inline constexpr int kInkPressed = 124;
inline constexpr int kInkChecked = 235;
inline constexpr int kCornerRadius = 4;

// Heights of the bars the panels are painted for; a panel painted from a top
// strip alone takes the strip's height.
inline constexpr int kTopBarHeight = 32;
inline constexpr int kBarHeight = 28;
inline constexpr int kStackerBarHeight = 30;
inline constexpr int kDisplayHeight = 100;
// Nine-piece panels: corner pieces of this side, edges as long.
inline constexpr int kPanelPiece = 8;
inline constexpr int kPanelRadius = 6;

inline constexpr QSize kLogo { 152, kTopBarHeight };
inline constexpr QSize kTipPicture { 40, 40 };
inline constexpr int kTreeImageSide = 16;
inline constexpr int kSplitterThickness = 6;
inline constexpr int kSplitterGripLength = 28;

// Frame sizes of the buttons.
inline constexpr QSize kWindowButton { 30, 22 };
inline constexpr QSize kBarButton { 78, 22 };
inline constexpr QSize kWideBarButton { 112, 22 };
// A bar button that shows its glyph alone, for a bar too narrow for the
// labelled ones.
inline constexpr QSize kCompactBarButton { 28, 22 };
inline constexpr QSize kStackerButton { 28, 22 };
inline constexpr QSize kQueueButton { 88, 22 };
// The four-part playback button: 2 x 2 parts with a gap between them.
inline constexpr int kControlPart = 40;
inline constexpr int kControlGap = 4;
inline constexpr QSize kControls { 2 * kControlPart + kControlGap, 2 * kControlPart + kControlGap };

// Scroll bars: the thickness across the bar, the arrows' and the thumb's
// length along it, and the length of one background tile.
struct ScrollBarSizes {
    bool vertical;
    int thickness;
    int arrowLength;
    int thumbLength;
    int tileLength;
};
inline constexpr ScrollBarSizes kListBar { true, 14, 14, 36, 8 };
inline constexpr ScrollBarSizes kVolumeBar { true, 20, 16, 14, 8 };
inline constexpr ScrollBarSizes kPositionBar { false, 14, 14, 30, 8 };

// The skinned controls of the main window that have built-in pictures, by
// kind, with the sizes of their pictures. A button strip holds equal frames
// side by side, the last being the mask (white: the face).

struct ButtonArt {
    const char *name;
    QSize frame;
    // A check button's strip has 5 frames (up, pressed, checked, checked and
    // pressed, mask), an ordinary one 3 (up, pressed, mask).
    bool check;
};
inline constexpr std::array kButtons {
    ButtonArt { "btnMenu", kWindowButton, false },
    ButtonArt { "btnHelp", kWindowButton, false },
    ButtonArt { "btnMinimize", kWindowButton, false },
    ButtonArt { "btnMaximize", kWindowButton, true },
    ButtonArt { "btnClose", kWindowButton, false },
    ButtonArt { "btnShowTitlesAll", kBarButton, false },
    ButtonArt { "btnPlayCD", kBarButton, false },
    ButtonArt { "btnSongSearch", kBarButton, false },
    ButtonArt { "btnAddAll", kBarButton, false },
    ButtonArt { "btnAddSelected", kWideBarButton, false },
    ButtonArt { "btnStackerPower", kStackerButton, true },
    ButtonArt { "btnStackerConfig", kStackerButton, false },
    ButtonArt { "btnQueueMoveUp", kQueueButton, false },
    ButtonArt { "btnQueueMoveDown", kQueueButton, false },
    ButtonArt { "btnQueueMoveTo", kQueueButton, false },
    ButtonArt { "btnQueueDelete", kQueueButton, false },
    ButtonArt { "btnQueueClear", kQueueButton, false },
};

// The bar buttons that also have a compact strip (glyph alone, frames of
// kCompactBarButton), the skin file piece "CompactSkinBitmap".
inline constexpr std::array kCompactButtons { "btnShowTitlesAll", "btnPlayCD", "btnSongSearch", "btnAddAll",
    "btnAddSelected" };

// The four-part playback button: a 4-frame strip (normal, pressed, checked,
// part-colour map) of kControls frames.
inline constexpr const char *kControlsName = "btnControls";
// The part colours of its map in part order (play, next, pause, stop), as
// 0xRRGGBB: fuchsia, blue, lime, red. Everything else in the map is black.
inline constexpr std::array<unsigned, 4> kControlPartColours { 0xFF00FF, 0x0000FF, 0x00FF00, 0xFF0000 };

struct ScrollBarArt {
    const char *name;
    ScrollBarSizes sizes;
};
inline constexpr std::array kScrollBars {
    ScrollBarArt { "sbTreeView", kListBar },
    ScrollBarArt { "sbSongList", kListBar },
    ScrollBarArt { "sbQueue", kListBar },
    ScrollBarArt { "sbVolume", kVolumeBar },
    ScrollBarArt { "sbSongPosition", kPositionBar },
};

enum class PanelStyle {
    Bar, // a top strip alone, as high as the bar, flat at the level
    Logo, // a top-left picture alone: the logo on the title bar
    Screen, // nine pieces: a black display screen with a light rim
    Card, // nine pieces: a black list area with a dark rim
};
struct PanelArt {
    const char *name;
    PanelStyle style;
    int level; // the surface around the piece's drawing
    int height; // a bar's height
};
inline constexpr std::array kPanels {
    PanelArt { "pnlTop", PanelStyle::Bar, kTopBarLevel, kTopBarHeight },
    PanelArt { "pnlLogo", PanelStyle::Logo, kTopBarLevel, kTopBarHeight },
    PanelArt { "pnlDisplay", PanelStyle::Bar, kDisplayLevel, kDisplayHeight },
    PanelArt { "pnlStacker", PanelStyle::Bar, kBarLevel, kStackerBarHeight },
    PanelArt { "pnlTreeButtons", PanelStyle::Bar, kBarLevel, kBarHeight },
    PanelArt { "pnlSongButtons", PanelStyle::Bar, kBarLevel, kBarHeight },
    PanelArt { "pnlSongTitle", PanelStyle::Screen, kNeutral, 0 },
    PanelArt { "pnlMainDisplay", PanelStyle::Screen, kDisplayLevel, 0 },
    PanelArt { "pnlVis", PanelStyle::Screen, kDisplayLevel, 0 },
    PanelArt { "pnlQueueDetails", PanelStyle::Screen, kNeutral, 0 },
    PanelArt { "pnlTree", PanelStyle::Card, kNeutral, 0 },
    PanelArt { "pnlSongs", PanelStyle::Card, kNeutral, 0 },
    PanelArt { "pnlQueue", PanelStyle::Card, kNeutral, 0 },
};

struct SplitterArt {
    const char *name;
    bool vertical; // a vertical splitter sizes the panels beside it
};
inline constexpr std::array kSplitters {
    SplitterArt { "spltSongLists", true },
    SplitterArt { "spltQueue", false },
    SplitterArt { "spltQueueDetails", true },
};

} // namespace builtInSkin
