#include "program/online_client.h"

#include <httplib.h>

#include <iostream>
#include <nlohmann/json.hpp>
#include <random>

#include "formats/files.h"

namespace program {

namespace {

constexpr time_t kTimeoutSeconds = 5;

httplib::Client Connect(const std::string& server) {
    httplib::Client client(server);
    client.set_connection_timeout(kTimeoutSeconds, 0);
    client.set_read_timeout(kTimeoutSeconds, 0);
    client.set_write_timeout(kTimeoutSeconds, 0);
    return client;
}

std::string RandomId() {
    std::random_device random;
    static const char digits[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 16; ++i) id += digits[random() % 16];
    return id;
}

}  // namespace

OnlineClient::OnlineClient(std::string server, std::string playerName)
    : server_(std::move(server)), playerName_(std::move(playerName)), playerId_(RandomId()) {}

replay::TOnlinePlay OnlineClient::StartGame() {
    httplib::Client client = Connect(server_);
    const httplib::Result answer = client.Post("/api/runs");
    if (!answer || answer->status != 200) {
        std::cerr << "munchora-headless: no run token from " << server_ << ": the game is played offline\n";
        return {};
    }
    try {
        const std::string token = nlohmann::json::parse(answer->body).at("token").get<std::string>();
        tokens_.push_back(token);
        return {token, playerName_, playerId_};
    } catch (const std::exception&) {
        std::cerr << "munchora-headless: the run token from " << server_ << " is unreadable\n";
        return {};
    }
}

bool OnlineClient::SendGames(const std::string& directory) {
    bool allSent = true;
    for (const std::string& name : formats::FindFiles(directory, "*.mnr")) {
        replay::TReplay game;
        if (replay::ReadReplayFile(directory + name, game) != replay::TReplayFault::None) continue;
        if (std::find(tokens_.begin(), tokens_.end(), game.Online.Token) == tokens_.end()) continue;
        const auto bytes = formats::ReadFileBytes(directory + name);
        httplib::Client client = Connect(server_);
        const httplib::Result answer =
            client.Post("/api/scores", std::string(bytes->begin(), bytes->end()), "application/octet-stream");
        if (!answer) {
            std::cerr << "munchora-headless: " << name << " could not be sent to " << server_ << "\n";
            allSent = false;
            continue;
        }
        std::cout << "online: " << answer->body << "\n";
    }
    return allSent;
}

}  // namespace program
