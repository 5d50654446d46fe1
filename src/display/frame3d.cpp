#include "display/frame3d.h"

namespace merlop {

std::array<FrameLine, 4> frame3dLines(const PixelRect& r, bool raised) {
    const Rgb light = raised ? kFrameWhite : kFrameDarkGrey;
    const Rgb shade = raised ? kFrameDarkGrey : kFrameWhite;
    const int lightW = 1;
    const int shadeW = raised ? 2 : 1;
    return {{{r.left, r.top, r.right, r.top, light, lightW},
             {r.right, r.top, r.right, r.bottom, shade, shadeW},
             {r.right, r.bottom, r.left, r.bottom, shade, shadeW},
             {r.left, r.bottom, r.left, r.top, light, lightW}}};
}

}  // namespace merlop
