#pragma once

#include <QImage>
#include <vector>

// The skin colours' tint of grey art, as the skinned controls apply it: every
// grey pixel of the visible frames takes a shade of colour where the mask
// frame's pixel is one of maskColours (or always, for a single frame) and of
// other elsewhere; grey 128 becomes the colour itself, 0 black, 255 white.
// Pixels that are not grey and the mask frame stay as they are.
QImage TintSkin(
    const QImage &source, int frames, const QColor &colour, const std::vector<QRgb> &maskColours, const QColor &other);
