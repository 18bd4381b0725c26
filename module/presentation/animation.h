#ifndef ORBELLO_PRESENTATION_ANIMATION_H
#define ORBELLO_PRESENTATION_ANIMATION_H

#include <cstdint>

// A frame of the capture animation: the travelling piece's centre in pixels, relative to the
// board rectangle's top-left corner.
struct PixelPoint {
    std::int32_t x;
    std::int32_t y;
};

#endif
