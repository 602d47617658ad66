// The contact sheet: every picture as the game will see it (black shown as a
// checkerboard, since it is transparent), with its name and pattern grid.
#include <algorithm>

#include "context.h"

namespace assetgen {

namespace {

// The picture as written to its file, black (transparent) left empty.
Canvas AsWritten(const Picture& p) {
    const std::vector<uint8_t> rgb = p.canvas.ToRgb24(p.overBlack);
    Canvas c(p.canvas.Width(), p.canvas.Height());
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const size_t i = (size_t(y) * c.Width() + x) * 3;
            if (rgb[i] | rgb[i + 1] | rgb[i + 2])
                c.At(x, y) = Rgba{float(rgb[i]), float(rgb[i + 1]), float(rgb[i + 2]), 1.f};
        }
    return c;
}

float ZoomFor(const Picture& p) {
    if (p.patternWidth <= 32 && p.patternHeight <= 40) return 2.f;
    if (p.canvas.Width() > 600) return 0.5f;
    return 1.f;
}

}  // namespace

void MakeContactSheet(Context& cx) {
    constexpr int kWidth = 1700, kGap = 14;
    const Font& font = cx.Rounded(9);
    struct Tile {
        const Picture* pic;
        int x, y, w, h;
        float zoom;
    };
    std::vector<Tile> tiles;
    int x = kGap, y = kGap, rowH = 0;
    for (const Picture& p : cx.Pictures()) {
        const float zoom = ZoomFor(p);
        const int w =
            std::max(int(p.canvas.Width() * zoom), font.Measure(CataloguePath(p.file).stem().string()));
        const int h = int(p.canvas.Height() * zoom) + font.LineHeight() + 4;
        if (x + w > kWidth - kGap) {
            x = kGap;
            y += rowH + kGap;
            rowH = 0;
        }
        tiles.push_back(Tile{&p, x, y, w, h, zoom});
        x += w + kGap;
        rowH = std::max(rowH, h);
    }
    Canvas sheet(kWidth, y + rowH + kGap);
    for (int yy = 0; yy < sheet.Height(); ++yy)
        for (int xx = 0; xx < sheet.Width(); ++xx) sheet.At(xx, yy) = Rgba{28, 28, 36, 1};

    TextStyle label;
    label.fill = Solid(MakeRgb(220, 220, 230));
    for (const Tile& t : tiles) {
        const Picture& p = *t.pic;
        DrawText(sheet, font, CataloguePath(p.file).stem().string(), t.x, t.y, label);
        const int top = t.y + font.LineHeight() + 2;
        const Canvas img = AsWritten(p).Scaled(t.zoom);
        for (int yy = 0; yy < img.Height(); ++yy)
            for (int xx = 0; xx < img.Width(); ++xx) {
                const bool light = ((xx / 6) + (yy / 6)) % 2;
                sheet.At(t.x + xx, top + yy) = light ? Rgba{70, 70, 82, 1} : Rgba{54, 54, 64, 1};
            }
        sheet.Blit(img, t.x, top);
        // Pattern grid.
        const int pw = int(p.patternWidth * t.zoom), ph = int(p.patternHeight * t.zoom);
        const Rgb grid = MakeRgb(0, 200, 255);
        for (int gy = 0; gy + ph <= img.Height(); gy += ph)
            for (int gx = 0; gx + pw <= img.Width(); gx += pw) {
                sheet.FillRect(t.x + gx, top + gy, pw, 1, grid, 0.7f);
                sheet.FillRect(t.x + gx, top + gy + ph - 1, pw, 1, grid, 0.7f);
                sheet.FillRect(t.x + gx, top + gy, 1, ph, grid, 0.7f);
                sheet.FillRect(t.x + gx + pw - 1, top + gy, 1, ph, grid, 0.7f);
            }
    }
    WritePng(cx.Output() / "asset-sheet.png", sheet);
}

}  // namespace assetgen
