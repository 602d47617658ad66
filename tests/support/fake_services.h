// The services the game below the shell asks of the main window, without
// one: pictures made in memory, a sprite tree, a task list on a tick count
// the test advances, and a record of sounds, tunes, the message line and
// message boxes. It installs itself while it exists.
#pragma once

#include <cstdint>
#include <set>
#include <sstream>
#include <string>

#include "engine/sprite.h"
#include "game/services.h"
#include "game/tasks.h"
#include "media/image_list.h"

namespace testing_support {

class FakeServices : public game::TServices {
public:
    FakeServices();
    ~FakeServices() override;
    FakeServices(const FakeServices&) = delete;
    FakeServices& operator=(const FakeServices&) = delete;

    media::ImageList& Images() { return images_; }
    // A sound the catalogue holds; playing any other one fails as in the game.
    void AddSound(const std::string& name) { sounds_.insert(name); }
    // What was played and shown, one line each ("sound EatDot", "music 1",
    // "message Can't open file ...", "close").
    std::string Log() const { return log_.str(); }

    const media::ImageEntry& Image(const std::string& name) override { return images_.Find(name); }
    // The picture is made in memory at the size the entry gives.
    const media::ImageEntry* ReplaceImage(const std::string& entry) override;
    engine::TSprite* SpriteRoot() override { return sprites_.Root(); }
    engine::TImageSprite* AddCenteredImage(const std::string& imageName, int z) override;
    void PlaySound(const std::string& soundName) override;
    void PlayLevelMusic(int levelNumber) override { log_ << "music " << levelNumber << "\n"; }
    void ShowOnMessageLine(const std::string& text, uint32_t milliseconds) override;
    uint32_t FrameInterval() override { return Interval; }
    int32_t MainTick() override { return Tick; }
    void ScheduleTask(game::TTimerTask* task) override { Tasks.Add(task); }
    void ShowMessage(const std::string& text) override { log_ << "message " << text << "\n"; }
    void Close() override { log_ << "close\n"; }

    engine::TDXSpriteEngine& Sprites() { return sprites_; }
    uint32_t Interval = 10;  // the game's default speed
    int32_t Tick = 0;
    game::TTimerManager Tasks;
    // The message line: its text and how long it was to stay.
    std::string MessageText;
    uint32_t MessageMs = 0;

private:
    // The pictures outlive the sprites that show them.
    media::ImageList images_;
    engine::TDXSpriteEngine sprites_;
    std::set<std::string> sounds_;
    std::ostringstream log_;
};

}  // namespace testing_support
