#pragma once

#include <QImage>
#include <QString>
#include <vector>

// One picture of the built-in skin: where it goes among the program's
// resources (below the skin's folder) and the picture.
struct ArtPicture {
    QString path;
    QImage image;
};

// Every picture of the built-in skin: for each skinned control of the main
// window its pictures as "control/piece.png" (the piece named as the control's
// skin file section names it), the tree's images as "tree/N.png" and the tip
// dialog's picture as "tip.png". Fails (qFatal) when a label does not fit
// its button.
std::vector<ArtPicture> BuildSkinArt();
