#pragma once

#include <cstdint>
#include <vector>

// The picture a visualisation module draws into: height rows of width 32-bit
// ARGB pixels (0xAARRGGBB), packed without padding. The window that shows the
// visualisation owns one, resizes it with its display panel and paints it
// after every render. GUI thread only.
class TvisSurface {
public:
    TvisSurface() = default;
    TvisSurface(int width, int height) { Resize(width, height); }

    // Negative sizes count as 0. Clears the picture to opaque black.
    void Resize(int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Null while the surface is empty.
    std::uint32_t *Pixels() { return m_pixels.empty() ? nullptr : m_pixels.data(); }
    const std::uint32_t *Pixels() const { return m_pixels.empty() ? nullptr : m_pixels.data(); }
    std::uint32_t Pixel(int x, int y) const { return m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)]; }

    // Opaque handle of the window that shows the surface, handed to the module
    // as its owner window when the loader has no owning form.
    void *ParentHandle = nullptr;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};
