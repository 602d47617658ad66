#include "shell/state_dump.h"

#include <cxxabi.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "actors/bonus.h"
#include "actors/enemy.h"
#include "actors/enemy_kinds.h"
#include "actors/game.h"
#include "actors/player.h"
#include "engine/background_sprite.h"
#include "engine/image_sprite.h"
#include "game/globals.h"
#include "game/high_scores.h"
#include "game/level.h"
#include "shell/editor_session.h"
#include "shell/json_writer.h"
#include "shell/main_form.h"
#include "shell/online.h"
#include "widgets/input_line.h"
#include "widgets/message_line.h"

namespace shell {

using namespace game;

namespace {

// The class name without its namespace, as the code names it.
std::string ClassName(const engine::TSprite& sprite) {
    const char* mangled = typeid(sprite).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(mangled, nullptr, nullptr, &status),
                                                     std::free);
    std::string name = status == 0 && demangled ? demangled.get() : mangled;
    const size_t colon = name.rfind("::");
    return colon == std::string::npos ? name : name.substr(colon + 2);
}

std::string ImageName(const engine::TSprite& sprite) {
    // A killed sprite waiting for the sweep may still point into the image
    // list of a screen that has been left and cleared.
    if (sprite.IsDead()) return std::string();
    const media::ImageEntry* image = nullptr;
    if (const auto* s = dynamic_cast<const engine::TImageSprite*>(&sprite)) image = s->Image;
    if (const auto* s = dynamic_cast<const engine::TBackgroundSprite*>(&sprite)) image = s->Image;
    return image ? image->Name() : std::string();
}

// The fields that tell what an actor is doing.
void DumpActorFields(JsonWriter& json, const engine::TSprite& sprite) {
    if (const auto* player = dynamic_cast<const actors::TPlayerSprite*>(&sprite)) {
        json.Key("direction").Number(player->Direction);
        json.Key("speed").Number(player->Speed);
        json.Key("death_countdown").Number(player->DeathCountdown);
    } else if (const auto* monster = dynamic_cast<const actors::TEnemySprite*>(&sprite)) {
        json.Key("kind").Number(monster->Kind);
        json.Key("active").Bool(monster->Active);
        json.Key("direction").Number(monster->Direction);
        json.Key("speed").Number(monster->Speed);
        json.Key("slow").Bool(monster->Slow);
        json.Key("appear_countdown").Number(monster->AppearCountdown);
        json.Key("is_dying").Bool(monster->IsDying);
        if (const auto* ordinary = dynamic_cast<const actors::TBasicEnemy*>(monster)) {
            json.Key("hunting").Bool(ordinary->Hunting);
            json.Key("victim_ticks").Number(ordinary->VictimTicks);
        }
    } else if (const auto* bonus = dynamic_cast<const actors::TBonusSprite*>(&sprite)) {
        json.Key("permanent").Bool(bonus->Permanent);
        json.Key("message").String(bonus->Message);
        json.Key("is_dying").Bool(bonus->IsDying);
    } else if (const auto* gate = dynamic_cast<const actors::TGateSprite*>(&sprite)) {
        json.Key("is_open").Bool(gate->IsOpen);
    }
}

void DumpSprite(JsonWriter& json, const engine::TSprite& sprite) {
    json.BeginObject();
    json.Key("class").String(ClassName(sprite));
    json.Key("x").Number(int64_t(std::trunc(sprite.X)));
    json.Key("y").Number(int64_t(std::trunc(sprite.Y)));
    json.Key("z").Number(sprite.Z());
    json.Key("w").Number(sprite.Width);
    json.Key("h").Number(sprite.Height);
    json.Key("image").String(ImageName(sprite));
    json.Key("dead").Bool(sprite.IsDead());
    DumpActorFields(json, sprite);
    json.EndObject();
}

void DumpGame(JsonWriter& json, const actors::TGame* game) {
    if (!game) {
        json.Null();
        return;
    }
    json.BeginObject();
    json.Key("level_number").Number(game->LevelNumber);
    json.Key("level_name").String(game::State.GameLevel.Name);
    json.Key("dot_total").Number(game->DotTotal);
    json.Key("dots_eaten").Number(game->DotsEaten);
    json.Key("level_done").Bool(game->LevelDone);
    json.Key("all_dots_eaten").Bool(game->AllDotsEaten);
    json.Key("doors_open").Bool(game->DoorsOpen);
    json.Key("key_placed").Bool(game->KeyPlaced);
    json.Key("bonus_thresholds").BeginArray();
    for (const actors::TBonusThreshold& threshold : game->BonusThresholds) {
        json.BeginArray().Number(threshold.Percent).Bool(threshold.Fired).EndArray();
    }
    json.EndArray();
    json.Key("bonus_level").Number(game::State.GameLevel.BonusLevel);
    json.Key("monster_count").BeginArray();
    for (int32_t count : game::State.GameLevel.MonsterCount) json.Number(count);
    json.EndArray();
    json.Key("alive_count").BeginArray();
    for (int kind = 0; kind < MonsterKindCount; ++kind)
        json.Number(game->Enemies ? game->Enemies->AliveCount[kind] : 0);
    json.EndArray();
    json.Key("map_width").Number(game::State.GameLevel.MapWidth);
    json.Key("map_height").Number(game::State.GameLevel.MapHeight);
    json.EndObject();
}

}  // namespace

std::string DumpState(TMainForm& form, int frame) {
    platform::Platform& media = form.Media();
    JsonWriter json;
    json.BeginObject();
    json.Key("frame").Number(frame);
    json.Key("time_ms").Number(media.TickCount());
    json.Key("screen").String(ScreenName(form.State));
    json.Key("paused").Bool(form.Paused);
    json.Key("paused_by_key").Bool(form.PausedByKey);
    json.Key("music_muted").Bool(form.MusicMuted());
    json.Key("caption").String(media.Caption());
    json.Key("replay");
    if (form.ReplayMode().empty()) {
        json.Null();
    } else {
        json.String(form.ReplayMode());
    }
    json.Key("active").Bool(media.Active());
    json.Key("start_options").BeginArray();
    if (game::State.StartOptions.Debug) json.String("Debug");
    if (game::State.StartOptions.NoMidi) json.String("NoMidi");
    if (game::State.StartOptions.FullScreen) json.String("FullScreen");
    if (game::State.StartOptions.NoSound) json.String("NoSound");
    json.EndArray();
    json.Key("settings").BeginObject();
    json.Key("wave_volume").Number(game::Setup.WaveVolume);
    json.Key("midi_volume").Number(form.MidiVolume());
    json.Key("timer").Number(form.DXTimer().Interval());
    json.Key("game_type").String(game::State.GameType == gtFeatures ? "gtFeatures" : "gtClassic");
    json.EndObject();
    json.Key("full_screen").Bool(media.FullScreen());
    json.Key("score").Number(game::State.Player.Score);
    json.Key("monsters").Number(game::State.Player.Monsters);
    json.Key("bonuses").Number(game::State.Player.Bonuses);
    json.Key("level").Number(game::State.Player.Level);
    json.Key("lives").Number(game::State.Lives);
    json.Key("players_alive").Number(game::State.PlayersAlive);
    json.Key("current_level").Number(game::State.CurrentLevel);
    json.Key("level_count").Number(game::State.LevelCount);
    json.Key("last_key").Number(game::State.LastKey);
    json.Key("game");
    DumpGame(json, form.Game.get());
    json.Key("message_line").String(form.MessageLine ? form.MessageLine->Text : std::string());
    json.Key("input_line");
    if (form.InputLine && (form.State == scNewHighScore || form.State == scPassword)) {
        json.String(form.InputLine->Text);
    } else {
        json.Null();
    }
    // Only on the editor's screen.
    if (form.State == scEditor && form.editorSession_) {
        const TEditorSession& session = *form.editorSession_;
        const editor::TLevelEditor& e = *session.Editor;
        json.Key("editor").BeginObject();
        json.Key("level_number").Number(session.LevelNumber);
        json.Key("cursor").BeginArray().Number(session.Cursor.X).Number(session.Cursor.Y).EndArray();
        json.Key("brush").String(editor::Palette()[session.Brush].Name);
        json.Key("undo_steps").Number(int64_t(e.UndoSteps()));
        json.Key("findings").Number(int64_t(e.Check().Findings.size()));
        json.Key("level").String(editor::LevelFileText(e.Draft()));
        json.Key("status").String(session.Status);
        json.Key("estimate").String(session.Estimate);
        json.EndObject();
    }
    // Only a player of the online table sees it.
    if (form.onlineTableShown_) {
        static const char* const kStates[] = {"loading", "shown", "unreachable"};
        json.Key("online_table").BeginObject();
        json.Key("state").String(kStates[size_t(form.online_->TableState())]);
        json.Key("entries").Number(int64_t(form.online_->Table().size()));
        json.Key("selected").Number(int64_t(form.onlineSelected_));
        json.EndObject();
    }
    json.Key("selected_button").Number(form.SelectedButton);
    json.Key("button_count").Number(form.ButtonCount);
    json.Key("menu_memory").Number(form.MenuMemory);
    json.Key("high_scores").BeginArray();
    for (int i = 0; i < form.HighScores->Count; ++i) {
        const THighScoreRecord& entry = form.HighScores->Entries[size_t(i)];
        json.BeginObject();
        json.Key("name").String(entry.Name);
        json.Key("score").Number(entry.Score);
        json.Key("monsters").Number(entry.Monsters);
        json.Key("bonuses").Number(entry.Bonuses);
        json.Key("level").Number(entry.Level);
        const std::vector<bool>& marks = form.RecordedMarks();
        json.Key("recorded").Bool(size_t(i) < marks.size() && marks[size_t(i)]);
        json.EndObject();
    }
    json.EndArray();
    json.Key("sprites").BeginArray();
    engine::ForEachChild(*form.DXSpriteEngine.Root(),
                         [&json](const engine::TSprite& sprite) { DumpSprite(json, sprite); });
    json.EndArray();
    json.EndObject();
    return json.Text();
}

}  // namespace shell
