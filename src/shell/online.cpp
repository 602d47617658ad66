#include "shell/online.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <optional>
#include <random>

#include "formats/files.h"
#include "game/globals.h"
#include "replay/replay_file.h"

namespace shell {

namespace {

constexpr const char* kOnline = "Online";
// A token that comes later than this after the game started would make the
// game look longer than its token's life: the game is not ranked.
constexpr uint32_t kTokenWithinMs = 1500;
constexpr size_t kTableRows = 10;
// The message line holds about this many letters.
constexpr size_t kMessageLetters = 60;

std::optional<nlohmann::json> Parse(const std::string& body) {
    try {
        return nlohmann::json::parse(body);
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

// Server text in the game's 8-bit letters; a letter they cannot hold, or a
// broken sequence, becomes '?'.
std::string GameText(const std::string& utf8) {
    std::string text;
    for (size_t i = 0; i < utf8.size();) {
        const auto byte = uint8_t(utf8[i]);
        const size_t length = byte < 0x80 ? 1 : (byte >> 5) == 0x06 ? 2 : (byte >> 4) == 0x0E ? 3 : 4;
        uint32_t letter = length == 1 ? byte : byte & (0x7F >> length);
        bool whole = i + length <= utf8.size() && (byte < 0x80 || (byte >= 0xC2 && byte < 0xF5));
        for (size_t k = 1; whole && k < length; ++k) {
            const auto next = uint8_t(utf8[i + k]);
            whole = (next & 0xC0) == 0x80;
            letter = letter << 6 | (next & 0x3F);
        }
        text += whole && letter < 0x100 ? char(letter) : '?';
        i += whole ? length : 1;
    }
    return text;
}

std::string Fitted(std::string text) {
    if (text.size() > kMessageLetters) text = text.substr(0, kMessageLetters - 3) + "...";
    return text;
}

// The server has decided about a submission (or will, on its own): it is
// never sent again. Only no answer, a busy or failing server keep it.
bool Answered(uint16_t status) { return status >= 200 && status < 500 && status != 429; }

std::string WithoutSlash(std::string url) {
    while (!url.empty() && url.back() == '/') url.pop_back();
    return url;
}

std::string LevelSetBoard() {
    char hex[17];
    std::snprintf(
        hex, sizeof hex, "%016llx",
        static_cast<unsigned long long>(replay::LevelsDigest(game::LevelsFolder(), game::MusicFolder())));
    return hex;
}

}  // namespace

std::string OnlineMessage(const platform::NetworkReply& reply) {
    if (reply.purpose != opSubmission) return "";
    if (!Answered(reply.status)) return "Not sent: the online table cannot be reached";
    const auto verdict = Parse(reply.body);
    if (!verdict || !verdict->is_object()) return "Not listed: the online table answered nonsense";
    const std::string status = verdict->value("status", "");
    if (status == "listed" && verdict->contains("rank") && (*verdict)["rank"].is_number_integer())
        return "Online rank " + std::to_string((*verdict)["rank"].get<int64_t>());
    if (status == "pending") return "Sent: the online table checks the game later";
    std::string reason = verdict->value("reason", verdict->value("error", ""));
    return Fitted("Not listed: " + GameText(reason.empty() ? status : reason));
}

// ---- settings ----------------------------------------------------------------------

void TOnline::ReadSettings(const formats::IniFile& ini) {
    if (runOnly_) return;
    const std::vector<std::string> keys = ini.ReadSectionKeys(kOnline);
    sectionPresent_ = !keys.empty();
    serverFromFile_ = std::find(keys.begin(), keys.end(), "Server") != keys.end();
    if (serverFromFile_) server_ = WithoutSlash(ini.ReadString(kOnline, "Server", ""));
    playerName_ = ini.ReadString(kOnline, "PlayerName", playerName_);
    playerId_ = ini.ReadString(kOnline, "PlayerId", "");
    // Naming a server is the choice to play for its table.
    send_ = ini.ReadInteger(kOnline, "Send", 1) != 0;
}

void TOnline::OfferServer(const std::string& server) {
    if (!serverFromFile_ && !runOnly_) server_ = WithoutSlash(server);
}

void TOnline::WriteSettings(formats::IniFile& ini) const {
    if (runOnly_ || (!sectionPresent_ && server_.empty())) return;
    ini.WriteString(kOnline, "Server", server_);
    ini.WriteString(kOnline, "PlayerName", playerName_);
    ini.WriteString(kOnline, "PlayerId", playerId_);
    ini.WriteInteger(kOnline, "Send", send_ ? 1 : 0);
}

void TOnline::UseServer(const std::string& server, const std::string& playerName) {
    server_ = WithoutSlash(server);
    if (!playerName.empty()) playerName_ = playerName;
    send_ = true;
    runOnly_ = true;
}

void TOnline::EnsurePlayerId() {
    if (!playerId_.empty()) return;
    std::random_device random;
    static const char digits[] = "0123456789abcdef";
    for (int i = 0; i < 16; ++i) playerId_ += digits[random() % 16];
    settingsChanged_ = true;
}

// ---- requests ------------------------------------------------------------------------

uint32_t TOnline::Ask(TOnlinePurpose purpose, const std::string& method, const std::string& path,
                      std::string body) {
    platform::NetworkRequest request;
    request.purpose = purpose;
    request.method = method;
    request.url = server_ + path;
    request.body = std::move(body);
    if (!request.body.empty()) request.contentType = "application/octet-stream";
    const uint32_t number = media_.Fetch(request);
    if (purpose == opToken) tokenRequest_ = number;
    if (purpose == opTable) tableRequest_ = number;
    return number;
}

void TOnline::GameStarting() {
    token_.clear();
    tokenRequest_ = 0;
    if (!Ranked()) return;
    EnsurePlayerId();
    gameStart_ = media_.TickCount();
    Ask(opToken, "POST", "/api/runs");
}

replay::TOnlinePlay TOnline::GameEnded() {
    tokenRequest_ = 0;
    if (token_.empty()) return {};
    return {std::exchange(token_, ""), playerName_, playerId_};
}

void TOnline::Submit(const std::string& recordingPath) {
    const auto bytes = formats::ReadFileBytes(recordingPath);
    if (!bytes) return;
    const std::string name = recordingPath.substr(recordingPath.find_last_of('/') + 1);
    const std::string kept = UnsentFolder() + name;
    if (!formats::MakeDirectories(UnsentFolder()) || !formats::WriteFileAtomically(kept, *bytes)) return;
    SendUnsent();
}

void TOnline::SendUnsent() {
    if (!Ranked() || folder_.empty()) return;
    for (const std::string& name : formats::FindFiles(UnsentFolder(), "*.mnr")) {
        const std::string path = UnsentFolder() + name;
        if (sending_.count(path)) continue;
        const auto bytes = formats::ReadFileBytes(path);
        if (!bytes) continue;
        sending_.insert(path);
        submissions_[Ask(opSubmission, "POST", "/api/scores", std::string(bytes->begin(), bytes->end()))] =
            path;
    }
}

// ---- the table --------------------------------------------------------------------------

void TOnline::FetchTable() {
    tableState_ = TOnlineTableState::Loading;
    table_.clear();
    if (server_.empty()) {
        tableState_ = TOnlineTableState::Unreachable;
        return;
    }
    LoadOwn();
    Ask(opTable, "GET", "/api/boards/" + LevelSetBoard() + "?limit=" + std::to_string(kTableRows));
}

void TOnline::FetchRecording(int64_t id) {
    downloads_[Ask(opRecording, "GET", "/api/replays/" + std::to_string(id))] = id;
}

void TOnline::LoadOwn() {
    own_.clear();
    const auto bytes = formats::ReadFileBytes(OwnListPath());
    if (!bytes) return;
    int64_t id = 0;
    bool digits = false;
    for (const uint8_t c : *bytes) {
        if (c >= '0' && c <= '9' && id < (int64_t(1) << 56)) {
            id = id * 10 + (c - '0');
            digits = true;
        } else {
            if (digits) own_.insert(id);
            id = 0;
            digits = false;
        }
    }
    if (digits) own_.insert(id);
}

void TOnline::NoteOwn(int64_t id) {
    LoadOwn();
    if (!own_.insert(id).second) return;
    std::string text;
    for (const int64_t own : own_) text += std::to_string(own) + "\n";
    formats::WriteFileAtomically(OwnListPath(), std::vector<uint8_t>(text.begin(), text.end()));
}

// ---- replies --------------------------------------------------------------------------------

std::string TOnline::Take(const platform::NetworkReply& reply) {
    switch (reply.purpose) {
        case opToken: {
            if (reply.request != tokenRequest_ || reply.status != 200) break;
            if (media_.TickCount() - gameStart_ > kTokenWithinMs) break;
            const auto answer = Parse(reply.body);
            if (answer && answer->is_object() && (*answer)["token"].is_string())
                token_ = (*answer)["token"].get<std::string>();
            break;
        }
        case opSubmission: {
            const auto found = submissions_.find(reply.request);
            if (found == submissions_.end()) break;
            const std::string path = found->second;
            submissions_.erase(found);
            sending_.erase(path);
            if (!Answered(reply.status)) break;
            formats::RemoveFile(path);
            const auto verdict = Parse(reply.body);
            if (verdict && verdict->is_object() && verdict->value("status", "") == "listed" &&
                (*verdict)["id"].is_number_integer())
                NoteOwn((*verdict)["id"].get<int64_t>());
            break;
        }
        case opTable: {
            if (reply.request != tableRequest_) break;
            tableState_ = TOnlineTableState::Unreachable;
            table_.clear();
            const auto answer = reply.status == 200 ? Parse(reply.body) : std::nullopt;
            if (!answer || !answer->is_object() || !(*answer)["entries"].is_array()) break;
            try {
                for (const auto& row : (*answer)["entries"]) {
                    if (table_.size() == kTableRows) break;
                    TOnlineEntry entry;
                    entry.Id = row.at("id").get<int64_t>();
                    entry.Rank = row.at("rank").get<int32_t>();
                    entry.Name = GameText(row.at("name").get<std::string>());
                    entry.Score = row.at("score").get<int32_t>();
                    entry.Monsters = row.at("monsters").get<int32_t>();
                    entry.Level = row.at("level").get<int32_t>();
                    entry.Own = own_.count(entry.Id) > 0;
                    table_.push_back(entry);
                }
            } catch (const nlohmann::json::exception&) {
                table_.clear();
                break;
            }
            tableState_ = TOnlineTableState::Shown;
            break;
        }
        case opRecording: {
            const auto found = downloads_.find(reply.request);
            if (found == downloads_.end()) break;
            const int64_t id = found->second;
            downloads_.erase(found);
            if (reply.status != 200) break;
            const std::string folder = folder_ + "online/";
            const std::string path = folder + std::to_string(id) + ".mnr";
            if (!formats::MakeDirectories(folder) ||
                !formats::WriteFileAtomically(path,
                                              std::vector<uint8_t>(reply.body.begin(), reply.body.end())))
                break;
            return path;
        }
        default: break;
    }
    return "";
}

}  // namespace shell
