// The online table in the window: ranked games sent when they end, the
// server's answer on the message line, and the world's table on the
// high-score screen, whose entries can be watched.
#include <utility>

#include "formats/files.h"
#include "game/globals.h"
#include "replay/replay_file.h"
#include "shell/main_form.h"
#include "shell/online.h"
#include "shell/screen.h"
#include "widgets/message_line.h"
#include "widgets/style.h"

namespace shell {

using replay::TReplay;

void TMainForm::RecordGamesInto(const std::string& directory) {
    ReplayDirectory = directory;
    online_->SetRecordingsFolder(directory);
    online_->SendUnsent();
}

void TMainForm::PlayOnline(const std::string& server, const std::string& playerName) {
    online_->UseServer(server, playerName);
    online_->SendUnsent();
}

void TMainForm::OfferOnlineServer(const std::string& server) { online_->OfferServer(server); }

void TMainForm::OnNetworkReply(const platform::NetworkReply& reply) {
    const std::string message = OnlineMessage(reply);
    if (!message.empty()) {
        ShowOnMessageLine(message, kOnlineMessageMs);
        onlineMessage_ = message;
    }
    // A recorded reply changes nothing but what the game showed.
    if (media_.Playing()) return;
    if (reply.purpose == opSubmission) media_.NoteEvent("online-answer " + message);
    const std::string recording = online_->Take(reply);
    if (online_->TakeSettingsChanged()) SaveSettings(kSettingsFile);
    if (!recording.empty() && State == scHighScores && onlineTableShown_) WatchFromTable(recording);
}

void TMainForm::OnPointer(const platform::PointerEvent& event) { CurrentScreen().Pointer(event); }

void TMainForm::SubmitEndedGame() {
    const std::string path = std::exchange(onlineRecording_, "");
    if (path.empty()) return;
    TReplay game;
    if (replay::ReadReplayFile(path, game) != replay::TReplayFault::None) return;
    if (game.Online.PlayerName.empty() && !online_->PlayerName().empty()) {
        game.Online.PlayerName = online_->PlayerName();
        formats::WriteFileAtomically(path, replay::EncodeReplay(game));
    }
    online_->Submit(path);
}

bool TMainForm::AskOnlineName() const { return !onlineRecording_.empty() && online_->PlayerName().empty(); }

}  // namespace shell
