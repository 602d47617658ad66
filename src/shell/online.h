// The game's side of the online table: its settings, a run token asked for
// when a game starts, the recording sent when it ends (kept in a folder of
// its own until the server has answered), and the table of the level set
// being played. Every request goes through the platform and never holds
// the game up; a game that got no token is simply not ranked.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "formats/ini_file.h"
#include "platform/platform.h"
#include "replay/replay_file.h"

namespace shell {

// The purposes the game marks its requests with; a recording keeps them.
enum TOnlinePurpose : uint8_t { opToken = 1, opSubmission = 2, opTable = 3, opRecording = 4 };

struct TOnlineEntry {
    int64_t Id = 0;
    int32_t Rank = 0;
    std::string Name;  // 8-bit, as the game writes
    int32_t Score = 0;
    int32_t Monsters = 0;
    int32_t Level = 0;
    bool Own = false;
};

// How long the message line shows what the online table said.
constexpr uint32_t kOnlineMessageMs = 5000;

enum class TOnlineTableState : uint8_t { Loading, Shown, Unreachable };

// What the message line shows for a reply, the same whoever gets it: a
// recorded game hands its replies to this again. Empty: nothing.
std::string OnlineMessage(const platform::NetworkReply& reply);

class TOnline {
public:
    explicit TOnline(platform::Platform& media) : media_(media) {}

    // ---- settings ([Online] of the settings file) -------------------------
    void ReadSettings(const formats::IniFile& ini);
    // Written only when the file has the section or a server is set: the
    // settings of a player who never played online stay as they were.
    void WriteSettings(formats::IniFile& ini) const;
    // For one run, without the settings file (the headless runner).
    void UseServer(const std::string& server, const std::string& playerName);
    // The server to use when the settings file names none (the browser's
    // page offers its own origin).
    void OfferServer(const std::string& server);
    const std::string& Server() const { return server_; }
    bool Sending() const { return send_; }
    void SetSending(bool send) { send_ = send; }
    bool Ranked() const { return send_ && !server_.empty(); }
    const std::string& PlayerName() const { return playerName_; }
    void SetPlayerName(const std::string& name) { playerName_ = name; }
    // The id made on first use: the settings need writing once.
    bool TakeSettingsChanged() { return std::exchange(settingsChanged_, false); }
    // Where the recordings live; the unsent games and the downloaded ones
    // are kept below it.
    void SetRecordingsFolder(const std::string& folder) { folder_ = folder; }

    // ---- ranked games --------------------------------------------------------
    // A game starts now: a run token is asked for when ranked.
    void GameStarting();
    // The online play of the game that just ended: empty when no token came
    // in time.
    replay::TOnlinePlay GameEnded();
    // Sends a finished recording; it waits in the unsent folder until the
    // server answers.
    void Submit(const std::string& recordingPath);
    // Sends the games that found no server before.
    void SendUnsent();

    // ---- the table -------------------------------------------------------------
    void FetchTable();
    TOnlineTableState TableState() const { return tableState_; }
    const std::vector<TOnlineEntry>& Table() const { return table_; }
    // Asks for the recording of an entry; the reply names the file.
    void FetchRecording(int64_t id);

    // A live reply (not one a recording hands back): what it changes here.
    // Returns the file of a downloaded recording to watch, or empty.
    std::string Take(const platform::NetworkReply& reply);

private:
    // Returns the request's number.
    uint32_t Ask(TOnlinePurpose purpose, const std::string& method, const std::string& path,
                 std::string body = "");
    std::string UnsentFolder() const { return folder_ + "unsent/"; }
    std::string OwnListPath() const { return folder_ + "online-own.txt"; }
    void LoadOwn();
    void NoteOwn(int64_t id);
    void EnsurePlayerId();

    platform::Platform& media_;
    std::string server_, playerName_, playerId_;
    bool send_ = false;
    bool sectionPresent_ = false;
    bool runOnly_ = false;
    bool serverFromFile_ = false;
    bool settingsChanged_ = false;
    std::string folder_;
    // The game being played: its token request, when it started, its token.
    uint32_t tokenRequest_ = 0;
    uint32_t gameStart_ = 0;
    std::string token_;
    // Requests in flight: a submission's unsent file, a recording's id.
    std::map<uint32_t, std::string> submissions_;
    std::map<uint32_t, int64_t> downloads_;
    std::set<std::string> sending_;
    std::set<int64_t> own_;
    TOnlineTableState tableState_ = TOnlineTableState::Loading;
    std::vector<TOnlineEntry> table_;
    uint32_t tableRequest_ = 0;
};

}  // namespace shell
