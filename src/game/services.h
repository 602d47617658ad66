// What the game model, the actors and the widgets need from the window they
// run in, and nothing more. The main window implements it and installs
// itself when it is made; tests install a small fake instead. Below the
// shell nothing reaches the window any other way.
#pragma once

#include <cstdint>
#include <string>

namespace engine {
class TSprite;
class TImageSprite;
}  // namespace engine

namespace media {
class ImageEntry;
}

namespace game {

class TTimerTask;

class TServices {
public:
    virtual ~TServices() = default;

    // ---- pictures and sprites -------------------------------------------
    // The catalogue's picture of that name; throws GameError
    // "Image '<name>' not found".
    virtual const media::ImageEntry& Image(const std::string& name) = 0;
    // Replaces the picture a catalogue entry ("Name=file,width,height")
    // names with the one it describes. Null when that picture could not be
    // loaded: that has been reported and the window closes.
    virtual const media::ImageEntry* ReplaceImage(const std::string& entry) = 0;
    // The root of the sprite tree.
    virtual engine::TSprite* SpriteRoot() = 0;
    // A picture sprite centred on the display.
    virtual engine::TImageSprite* AddCenteredImage(const std::string& imageName, int z) = 0;

    // ---- sound and text -------------------------------------------------
    virtual void PlaySound(const std::string& soundName) = 0;
    // The level's own tune, or another one when it has none.
    virtual void PlayLevelMusic(int levelNumber) = 0;
    // The blinking line under the maze, for that long.
    virtual void ShowOnMessageLine(const std::string& text, uint32_t milliseconds) = 0;

    // ---- time -----------------------------------------------------------
    // Milliseconds between two frames (the game speed).
    virtual uint32_t FrameInterval() = 0;
    // Ticks of the 100 ms main timer so far.
    virtual int32_t MainTick() = 0;
    // Runs the task on the main timer's ticks while a level is played; the
    // caller keeps ownership.
    virtual void ScheduleTask(TTimerTask* task) = 0;

    // ---- failures -------------------------------------------------------
    // A modal message box with the application's title.
    virtual void ShowMessage(const std::string& text) = 0;
    // Closes the window: the program ends once the handler in progress is done.
    virtual void Close() = 0;
};

// The installed services; calling it before any are installed is a
// programming error.
TServices& Services();
void InstallServices(TServices* services);
// Removes them again, if these are the installed ones.
void RemoveServices(const TServices* services);

}  // namespace game
