#pragma once

class QWidget;

// Docking of controls to their parent's edges, as the windows place
// their panels, bars and lists: the parent's aligned children are laid out
// top edge first, then bottom, left, right, and the client control fills
// what is left; within one edge the control nearer to that edge comes first.
// The layout runs again whenever the parent's size or contents rectangle,
// or an aligned child's size, position or visibility changes, so setting the
// top of a panel just under another one and showing it docks it there.
enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// Which edges of its parent a control that is not aligned keeps its distance
// to when the parent is resized; anchored to both left and right it grows
// with the parent (likewise top and bottom).
enum TAnchorKind { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = int;
constexpr TAnchors kDefaultAnchors = akLeft | akTop;

void SetControlAlign(QWidget *control, TAlign align);
TAlign ControlAlign(const QWidget *control);
void SetControlAnchors(QWidget *control, TAnchors anchors);
TAnchors ControlAnchors(const QWidget *control);

// Lays out parent's aligned and anchored children now (a hidden parent gets
// no resize events until it is shown).
void RealignControls(QWidget *parent);
