// Stands in front of the machine's own header for every library but the
// backends, so that code above them cannot include it.
#error "only a backend (src/platform/sdl, src/platform/headless) includes SDL, FluidSynth or libpng"
