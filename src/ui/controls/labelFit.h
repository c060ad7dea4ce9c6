#pragma once

class QWidget;

// The labels of a panel end before whatever stands to their right on their
// line: each auto-sized single-line label is cut short with "…" gap pixels
// before the nearest control to its right whose rows it shares (of another
// label, its left edge counts, as that label is cut short in turn), and gap
// pixels before the panel's right edge. A label that starts under another
// control shows nothing. Labels without text stand in nobody's way.
//
// Run it again whenever the panel's size, a position or a text changes.
void FitLabelsToNeighbours(QWidget &panel, int gap);
