#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "formats/files.h"
#include "formats/midi_file.h"

namespace platform {

HeadlessBackend::HeadlessBackend(Options options) : options_(std::move(options)) {}

bool HeadlessBackend::InitializeDisplay(bool fullScreen) {
    Dispatcher().SetFullScreen(fullScreen);
    Dispatcher().SetDisplayReady(true);
    return true;
}

void HeadlessBackend::PlayWave(media::Wave&, const std::string& name, int volume) {
    NoteEvent("sound " + name + " " + std::to_string(volume));
}

std::string HeadlessBackend::ShortPath(const std::string& path) const {
    const std::string native = formats::NativePath(path);
    const std::string base = formats::NativePath(options_.dataDirectory + "/");
    if (!base.empty() && native.compare(0, base.size(), base) == 0) return native.substr(base.size());
    return native;
}

bool HeadlessBackend::MidiOpen(const std::string& path) {
    MidiClose();
    // No synthesizer here, but a file that could not be played fails as it would.
    const auto bytes = formats::ReadFileBytes(path);
    if (!bytes || !formats::ParseMidiFile(*bytes)) return false;
    musicPath_ = path;
    musicOpen_ = true;
    return true;
}

bool HeadlessBackend::MidiPlay() {
    if (!musicOpen_) return false;
    musicPlaying_ = true;
    NoteEvent("music " + ShortPath(musicPath_));
    return true;
}

void HeadlessBackend::MidiClose() {
    if (!musicOpen_) return;
    musicOpen_ = false;
    musicPlaying_ = false;
    NoteEvent("music-stop");
}

void HeadlessBackend::MessageBox(const std::string& caption, const std::string& text) {
    messages_.push_back(text);
    NoteEvent("message " + caption + "|" + text);
}

void HeadlessBackend::PressKey(AppEvents& app, uint16_t key) {
    if (Dispatcher().Active()) Dispatcher().DeliverKey(app, key, 0);
}

void HeadlessBackend::AdvanceFrame(AppEvents& app) {
    Platform& platform = Dispatcher();
    now_ += std::max<uint32_t>(1, platform.Clock().Interval());
    platform.RunTimers(now_, true);
    if (!platform.QuitRequested() && platform.Active() && platform.Clock().Enabled())
        platform.RunFrame(app, now_);
    nextFrameKeys_.clear();
    ++frame_;
}

void HeadlessBackend::FinishRequests(AppEvents& app, uint32_t withinMs) {
    Platform& platform = Dispatcher();
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(withinMs);
    while (platform.RequestsOutstanding() > 0 && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        platform.DeliverReplies(app);
    }
}

void HeadlessBackend::NoteEvent(const std::string& line) {
    if (!options_.eventLog) return;
    // One event per line: line breaks inside a message are written escaped.
    std::string escaped;
    for (char c : line) {
        if (c == '\r') {
            escaped += "\\r";
        } else if (c == '\n') {
            escaped += "\\n";
        } else {
            escaped += c;
        }
    }
    *options_.eventLog << frame_ << ' ' << escaped << '\n';
}

void HeadlessBackend::Run(AppEvents& app) {
    Platform& platform = Dispatcher();
    const auto started = std::chrono::steady_clock::now() - std::chrono::milliseconds(now_);
    for (frame_ = 1; frame_ <= options_.maxFrames && !platform.QuitRequested(); ++frame_) {
        const auto commands = options_.script.byFrame.find(frame_);
        // 1. Input for this frame, in file order.
        if (commands != options_.script.byFrame.end()) {
            for (const ScriptCommand& command : commands->second) {
                if (platform.QuitRequested()) break;
                switch (command.kind) {
                    case ScriptCommand::Kind::Down:
                        heldKeys_.insert(command.key);
                        if (platform.Active()) platform.DeliverKey(app, command.key, command.shift);
                        break;
                    case ScriptCommand::Kind::Up: heldKeys_.erase(command.key); break;
                    case ScriptCommand::Kind::Deactivate:
                        heldKeys_.clear();
                        platform.SetActive(false, app);
                        break;
                    case ScriptCommand::Kind::Activate: platform.SetActive(true, app); break;
                    case ScriptCommand::Kind::Close: platform.DeliverClose(app); break;
                    case ScriptCommand::Kind::Pointer:
                        if (platform.Active()) platform.DeliverPointer(app, command.pointer);
                        break;
                    case ScriptCommand::Kind::Shot:
                    case ScriptCommand::Kind::Dump: break;
                }
            }
        }
        if (platform.QuitRequested()) break;
        // The online table's replies that came.
        platform.DeliverReplies(app);
        // 2. Virtual time moves by one frame interval; due timer ticks run.
        now_ += std::max<uint32_t>(1, platform.Clock().Interval());
        if (options_.realTime) std::this_thread::sleep_until(started + std::chrono::milliseconds(now_));
        if (platform.Playing()) {
            // 2 and 3 of a recording: its events up to its next frame.
            platform.RunPlaybackFrame(app);
        } else {
            platform.RunTimers(now_, true);
            // 3. The game's frame.
            if (!platform.QuitRequested() && platform.Active() && platform.Clock().Enabled())
                platform.RunFrame(app, now_);
        }
        // 4. Shots and dumps show the state after the frame.
        if (commands != options_.script.byFrame.end() && options_.onOutputCommand) {
            for (const ScriptCommand& command : commands->second) {
                if (command.kind == ScriptCommand::Kind::Shot || command.kind == ScriptCommand::Kind::Dump) {
                    options_.onOutputCommand(command);
                }
            }
        }
        if (platform.QuitRequested()) break;
    }
    if (frame_ > options_.maxFrames) frame_ = options_.maxFrames;
}

}  // namespace platform
