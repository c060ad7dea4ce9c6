#pragma once

#include <QString>
#include <functional>
#include <vector>

class QWidget;
class TdmMain;

// One picture of a window for the screenshot gallery: the window as a user
// would meet it, filled from a sample jukebox (a generated library in a
// temporary program folder), painted offscreen into name + ".png".
struct TformShot {
    QString name;
    // Makes the window, filled and laid out, parented to nothing; the gallery
    // shows it, grabs it and deletes it.
    std::function<QWidget *(TdmMain &core)> make;
};

// Shots register themselves at start-up, one file per group of windows.
std::vector<TformShot> &FormShots();

struct TformShotRegistration {
    explicit TformShotRegistration(TformShot shot) { FormShots().push_back(std::move(shot)); }
};
