#include "widgets/indicators.h"

#include "game/globals.h"
#include "game/services.h"

namespace widgets {

TIndicator::TIndicator(engine::TSprite* parent, int baseX, int baseY)
    : engine::TImageSprite(parent), BaseX(baseX), BaseY(baseY) {
    game::TServices& services = game::Services();
    ActiveImage = &services.Image("Indicator_Active");
    NormalImage = &services.Image("Indicator_Normal");
    Image = NormalImage;
    Width = NormalImage->PatternWidth();
    Height = NormalImage->PatternHeight();
    X = BaseX;
    Y = BaseY;
    SetZ(3);
}

// Positions are computed in real numbers every frame and not rounded: the
// engine truncates when it draws.
void TMidiIndicator::Step(int) { X = BaseX + kTrackLength * (255 - attenuation_()) / 255.0; }

void TWaveIndicator::Step(int) { X = BaseX + kTrackLength * (game::Setup.WaveVolume + 10000) / 10000.0; }

void TSpeedIndicator::Step(int) { X = BaseX + kTrackLength * (100.0 - double(clock_.Interval())) / 100.0; }

}  // namespace widgets
