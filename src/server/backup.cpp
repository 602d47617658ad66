#include "server/backup.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "server/text.h"

namespace server {

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string Base64(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t chunk = uint32_t(bytes[i]) << 16 |
                               (i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0) |
                               (i + 2 < bytes.size() ? uint32_t(bytes[i + 2]) : 0);
        text += kBase64[chunk >> 18 & 63];
        text += kBase64[chunk >> 12 & 63];
        text += i + 1 < bytes.size() ? kBase64[chunk >> 6 & 63] : '=';
        text += i + 2 < bytes.size() ? kBase64[chunk & 63] : '=';
    }
    return text;
}

std::vector<uint8_t> FromBase64(const std::string& text) {
    if (text.size() % 4 != 0) throw std::runtime_error("not base64");
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < text.size(); i += 4) {
        uint32_t chunk = 0;
        int padding = 0;
        for (size_t j = 0; j < 4; ++j) {
            const char c = text[i + j];
            const char* at = c == '=' ? nullptr : std::strchr(kBase64, c);
            if (c == '=' && i + 4 == text.size() && j >= 2) {
                ++padding;
            } else if (!at || c == '\0' || padding > 0) {
                throw std::runtime_error("not base64");
            }
            chunk = chunk << 6 | uint32_t(at ? at - kBase64 : 0);
        }
        bytes.push_back(uint8_t(chunk >> 16));
        if (padding < 2) bytes.push_back(uint8_t(chunk >> 8));
        if (padding < 1) bytes.push_back(uint8_t(chunk));
    }
    return bytes;
}

// A backup holds only the three statuses a table answers with.
TStatus StatusFrom(const std::string& name) {
    if (name != "listed" && name != "rejected" && name != "pending")
        throw std::runtime_error("an unknown status");
    return StatusFromName(name);
}

}  // namespace

TBackupCount ExportTable(ScoreStore& store, const std::string& path) {
    const std::string part = path + ".part";
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("can't write " + part);
    TBackupCount count;
    store.ForEachStored([&](const TStoredSubmission& stored) {
        const TSubmission& s = stored.submission;
        const TVerdict& v = s.verdict;
        const nlohmann::json line = {{"submission",
                                      {{"id", s.id},
                                       {"status", StatusName(s.status)},
                                       {"reason", EightBitToUtf8(v.reason)},
                                       {"name", EightBitToUtf8(v.name)},
                                       {"score", v.score},
                                       {"level", v.level},
                                       {"monsters", v.monsters},
                                       {"bonuses", v.bonuses},
                                       {"board", v.board},
                                       {"duration_ms", v.durationMs},
                                       {"received_at", s.receivedAt},
                                       {"replay", Base64(stored.replay)}}}};
        out << line.dump() << '\n';
        ++count.submissions;
    });
    store.ForEachUsedToken([&](const std::string& token, int64_t usedAt) {
        out << nlohmann::json({{"used_token", {{"token", token}, {"used_at", usedAt}}}}).dump() << '\n';
        ++count.tokens;
    });
    out.close();
    std::error_code ec;
    if (!out || (std::filesystem::rename(part, path, ec), ec)) {
        std::filesystem::remove(part, ec);
        throw std::runtime_error("can't write " + path);
    }
    return count;
}

TBackupCount ImportTable(ScoreStore& store, const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("can't read " + path);
    TBackupCount count;
    std::string text;
    for (int64_t number = 1; std::getline(in, text); ++number) {
        if (text.empty()) continue;
        try {
            const nlohmann::json line = nlohmann::json::parse(text);
            if (line.contains("submission")) {
                const nlohmann::json& j = line.at("submission");
                TStoredSubmission stored;
                TSubmission& s = stored.submission;
                s.id = j.at("id").get<int64_t>();
                s.status = StatusFrom(j.at("status").get<std::string>());
                s.verdict.listed = s.status == TStatus::Listed;
                s.verdict.reason = Utf8ToEightBit(j.at("reason").get<std::string>());
                s.verdict.name = Utf8ToEightBit(j.at("name").get<std::string>());
                s.verdict.score = j.at("score").get<int32_t>();
                s.verdict.level = j.at("level").get<int32_t>();
                s.verdict.monsters = j.at("monsters").get<int32_t>();
                s.verdict.bonuses = j.at("bonuses").get<int32_t>();
                s.verdict.board = j.at("board").get<std::string>();
                s.verdict.durationMs = j.at("duration_ms").get<int64_t>();
                s.receivedAt = j.at("received_at").get<int64_t>();
                stored.replay = FromBase64(j.at("replay").get<std::string>());
                if (s.id <= 0) throw std::runtime_error("a submission without its number");
                if (store.Restore(stored)) ++count.submissions;
            } else {
                const nlohmann::json& j = line.at("used_token");
                store.RestoreUsedToken(j.at("token").get<std::string>(), j.at("used_at").get<int64_t>());
                ++count.tokens;
            }
        } catch (const std::exception& error) {
            throw std::runtime_error(path + ", line " + std::to_string(number) + ": " + error.what());
        }
    }
    return count;
}

}  // namespace server
