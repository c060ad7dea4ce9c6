#include "visSurface.h"

#include <algorithm>

void TvisSurface::Resize(int width, int height)
{
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_pixels.assign(std::size_t(m_width) * std::size_t(m_height), 0xFF000000u);
}
