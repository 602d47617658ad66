#include "game/services.h"

namespace game {

namespace {
TServices* installed = nullptr;
}  // namespace

TServices& Services() { return *installed; }

void InstallServices(TServices* services) { installed = services; }

void RemoveServices(const TServices* services) {
    if (installed == services) installed = nullptr;
}

}  // namespace game
