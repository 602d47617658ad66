// The desktop icon: the hero, large, on a clear background.
#include "context.h"
#include "figures.h"

namespace assetgen {

void MakeIcon(Context& cx) {
    constexpr int kSize = 128;
    Canvas icon(kSize, kSize);
    DrawChomper(icon, ChomperPose{64.f, 64.f, 54.f, Dir::Right, 0.6f});
    WritePng(cx.Output() / "munchora.png", icon, true);
}

}  // namespace assetgen
