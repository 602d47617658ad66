// The real SDL backend's loop shows what the game drew, converted as SDL
// converts it, after a frame that changed only some rows too, and presents
// only the frames that changed the picture: on the window's own surface
// (no GPU) and through SDL's renderer.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/sdl/sdl_backend.h"

namespace {

using platform::kDisplayHeight;
using platform::kDisplayWidth;

class CountingBackend : public platform::SdlBackend {
public:
    int presents = 0;

protected:
    void PresentLatest() override {
        SdlBackend::PresentLatest();
        ++presents;
    }
};

// Frame 1 every 16-bit colour, frame 2 a band of rows changed, frame 3 the same.
struct DrawingApp : platform::AppEvents {
    explicit DrawingApp(platform::Platform& media) : media(media) {}
    platform::Platform& media;
    int frames = 0;
    void OnFrame() override {
        uint16_t* pixels = media.Display().Pixels();
        ++frames;
        if (frames == 1) {
            for (int i = 0; i < kDisplayWidth * kDisplayHeight; ++i) pixels[i] = uint16_t(i * 7);
        } else if (frames == 2) {
            for (int i = 250 * kDisplayWidth; i < 260 * kDisplayWidth; ++i) pixels[i] = uint16_t(~pixels[i]);
        }
        media.Present();
        if (frames == 3) media.Quit();
    }
    void OnKeyDown(uint16_t, platform::ShiftState) override {}
    void OnActivate() override {}
    void OnDeactivate() override {}
    void OnMusicEnd() override {}
    void OnCloseButton() override {}
};

class SdlDisplay : public testing::TestWithParam<const char*> {};

TEST_P(SdlDisplay, ShowsTheLatestFrameAndPresentsOnlyChanges) {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (*GetParam()) setenv("SDL_RENDER_DRIVER", GetParam(), 1);
    {
        CountingBackend machine;
        platform::Platform media(machine);
        ASSERT_TRUE(media.InitializeDisplay(false));
        // Far enough apart that a busy machine does not run two in one pass.
        media.Clock().SetInterval(40);
        media.Clock().SetEnabled(true);
        DrawingApp app(media);
        media.Run(app);
        EXPECT_EQ(app.frames, 3);
        EXPECT_EQ(machine.presents, 2);

        SDL_Window* window = nullptr;
        for (Uint32 id = 1; !window && id < 100; ++id) window = SDL_GetWindowFromID(id);
        ASSERT_NE(window, nullptr);
        std::vector<uint32_t> shown(size_t(kDisplayWidth) * kDisplayHeight);
        Uint32 format = 0;
        if (SDL_Renderer* renderer = SDL_GetRenderer(window)) {
            format = SDL_GetWindowPixelFormat(window);
            ASSERT_EQ(SDL_RenderReadPixels(renderer, nullptr, format, shown.data(), kDisplayWidth * 4), 0);
        } else {
            SDL_Surface* surface = SDL_GetWindowSurface(window);
            ASSERT_NE(surface, nullptr);
            format = surface->format->format;
            for (int y = 0; y < kDisplayHeight; ++y) {
                const auto* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
                std::memcpy(&shown[size_t(y) * kDisplayWidth], row, kDisplayWidth * 4);
            }
        }
        std::vector<uint32_t> wanted(shown.size());
        ASSERT_EQ(
            SDL_ConvertPixels(kDisplayWidth, kDisplayHeight, SDL_PIXELFORMAT_RGB565, media.Display().Pixels(),
                              kDisplayWidth * 2, format, wanted.data(), kDisplayWidth * 4),
            0);
        // The colour bits: the fourth byte is padding or alpha.
        int bits = 0;
        Uint32 red = 0, green = 0, blue = 0, alpha = 0;
        ASSERT_TRUE(SDL_PixelFormatEnumToMasks(format, &bits, &red, &green, &blue, &alpha));
        const uint32_t colour = red | green | blue;
        int wrong = 0;
        for (size_t i = 0; i < shown.size(); ++i) wrong += (shown[i] & colour) != (wanted[i] & colour);
        EXPECT_EQ(wrong, 0) << GetParam();
    }
    unsetenv("SDL_RENDER_DRIVER");
}

INSTANTIATE_TEST_SUITE_P(WindowSurfaceAndRenderer, SdlDisplay, testing::Values("", "software"));

}  // namespace
