// Level tunes through the MIDI sequencer and wave sounds from the catalogue.
#include "formats/files.h"
#include "game/globals.h"
#include "game/level.h"
#include "game/random.h"
#include "shell/main_form.h"

namespace shell {

using namespace game;

void TMainForm::PlayMusic(const std::string& fileName) {
    if (media_.GetMidiMode() == platform::MidiMode::Playing) media_.MidiClose();
    if (!media_.MidiOpen(fileName) || !media_.MidiPlay()) {
        ShowMessage(std::string("Midi initializing error") + char(13) + "File " + fileName);
        Close();
    }
}

void TMainForm::PlayLevelMusic(int levelNumber) {
    if (game::State.StartOptions.NoMidi) return;
    const std::string own = game::MusicFolder() + LevelDigits(levelNumber) + ".mid";
    if (formats::FileExists(own)) {
        PlayMusic(own);
    } else if (!game::Setup.MusicFiles.empty()) {
        // Any tune of the directory, possibly another level's.
        PlayMusic(game::Setup.MusicFiles[Random(uint32_t(game::Setup.MusicFiles.size()))]);
    }
    // No tune at all: the level is silent.
}

void TMainForm::MediaPlayerNotify() {
    // Playing from the end starts the tune again: it loops for the level.
    if (media_.GetMidiMode() == platform::MidiMode::Stopped) media_.MidiPlay();
}

void TMainForm::PlaySound(const std::string& soundName) {
    if (game::State.StartOptions.NoSound) return;
    media::Wave& wave = DXWaveList.Find(soundName);
    if (!silent_) media_.PlayWave(wave, soundName, game::Setup.WaveVolume);
}

}  // namespace shell
