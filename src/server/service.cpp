#include "server/service.h"

#include <httplib.h>

#include <chrono>
#include <nlohmann/json.hpp>

#include "replay/replay_file.h"
#include "server/judge.h"
#include "server/text.h"

namespace server {

namespace {

constexpr size_t kMaxReplayBytes = 1 << 20;
constexpr int64_t kMaxBoardPage = 100;

int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

void Reply(httplib::Response& res, int status, const nlohmann::json& body) {
    res.status = status;
    res.set_content(body.dump(), "application/json");
}

void Fail(httplib::Response& res, int status, const std::string& why) {
    Reply(res, status, {{"error", why}});
}

// A whole number from the query, within [low, high]; `fallback` when absent.
bool QueryNumber(const httplib::Request& req, const char* key, int64_t fallback, int64_t low, int64_t high,
                 int64_t& value) {
    if (!req.has_param(key)) {
        value = fallback;
        return true;
    }
    const std::string text = req.get_param_value(key);
    if (text.empty() || text.size() > 12 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::stoll(text);
    return value >= low && value <= high;
}

nlohmann::json Describe(ScoreStore& store, const TSubmission& s) {
    nlohmann::json out = {{"id", s.id}, {"status", StatusName(s.status)}};
    if (s.status == TStatus::Pending) return out;
    out["reason"] = EightBitToUtf8(s.verdict.reason);
    out["name"] = EightBitToUtf8(s.verdict.name);
    out["score"] = s.verdict.score;
    out["level"] = s.verdict.level;
    out["monsters"] = s.verdict.monsters;
    out["bonuses"] = s.verdict.bonuses;
    out["board"] = s.verdict.board;
    out["rank"] = s.status == TStatus::Listed ? nlohmann::json(store.Rank(s)) : nlohmann::json(nullptr);
    return out;
}

}  // namespace

Service::Service(ScoreStore& store, const Verifier& verifier, const RunTokens& tokens,
                 LevelSetLibrary& levelSets, TServiceOptions options)
    : store_(store),
      verifier_(verifier),
      tokens_(tokens),
      levelSets_(levelSets),
      options_(std::move(options)),
      rateLimit_(options_.submissionsPerMinute),
      http_(std::make_unique<httplib::Server>()) {
    Routes();
    for (int i = 0; i < std::max(1, options_.workers); ++i) workers_.emplace_back([this] { Work(); });
}

Service::~Service() {
    Stop();
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

bool Service::Listen(const std::string& address, int port, const std::function<void(int)>& listening) {
    const int bound =
        port == 0 ? http_->bind_to_any_port(address) : (http_->bind_to_port(address, port) ? port : -1);
    if (bound < 0) return false;
    listening(bound);
    listening_ = true;
    const bool served = stopRequested_ || http_->listen_after_bind();
    listening_ = false;
    return served;
}

void Service::Stop() {
    stopRequested_ = true;
    // Until the listening loop has seen it: it may not have begun yet.
    while (listening_) {
        http_->stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void Service::Notify() {
    {
        std::lock_guard lock(mutex_);
        ++generation_;
    }
    changed_.notify_all();
}

void Service::Work() {
    for (;;) {
        uint64_t seen = 0;
        {
            std::lock_guard lock(mutex_);
            if (stopping_) return;
            seen = generation_;
        }
        std::optional<TJob> job;
        try {
            job = store_.ClaimPending();
        } catch (const std::exception&) {
            job.reset();  // the database is away: try again on the next wake
        }
        if (job) {
            TVerdict verdict;
            try {
                verdict = Judge(*job, verifier_, tokens_, store_);
            } catch (const std::exception&) {
                continue;  // the database is away: the job stays taken until a restart
            }
            try {
                store_.Finish(job->id, verdict);
            } catch (const std::exception&) {
                // Left "verifying": a restart verifies it again.
            }
            Notify();
            continue;
        }
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(1), [&] { return stopping_ || generation_ != seen; });
    }
}

void Service::Routes() {
    httplib::Server& http = *http_;
    http.set_payload_max_length(kMaxReplayBytes);
    http.set_read_timeout(10, 0);
    http.set_write_timeout(10, 0);
    http.set_keep_alive_timeout(5);
    if (!options_.staticDirectory.empty()) {
        // The browser build's files, with the types a browser wants for them.
        const std::pair<const char*, const char*> types[] = {
            {"html", "text/html; charset=utf-8"}, {"js", "text/javascript; charset=utf-8"},
            {"wasm", "application/wasm"},         {"data", "application/octet-stream"},
            {"sf2", "application/octet-stream"},  {"png", "image/png"},
            {"txt", "text/plain; charset=utf-8"}, {"webmanifest", "application/manifest+json"},
        };
        for (const auto& [extension, type] : types)
            http.set_file_extension_and_mimetype_mapping(extension, type);
        http.set_mount_point("/", options_.staticDirectory);
    }

    http.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        const char* why = res.status == 404   ? "not found"
                          : res.status == 413 ? "a recording is at most 1 MiB"
                          : res.status == 405 ? "method not allowed"
                                              : "bad request";
        Fail(res, res.status, why);
    });
    http.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        Fail(res, 500, "the server failed to answer");
    });

    http.Get("/api/health", [this](const httplib::Request&, httplib::Response& res) {
        try {
            store_.Check();
            Reply(res, 200, {{"status", "ok"}, {"database", "ok"}});
        } catch (const std::exception& error) {
            Reply(res, 503, {{"error", "the database cannot be reached"}, {"database", error.what()}});
        }
    });

    http.Post("/api/runs", [this](const httplib::Request&, httplib::Response& res) {
        const int64_t now = NowMs();
        Reply(res, 200, {{"token", tokens_.Issue(now)}, {"issued", now}});
    });

    http.Post("/api/scores", [this](const httplib::Request& req, httplib::Response& res) {
        if (!rateLimit_.Allow(req.remote_addr, NowMs()))
            return Fail(res, 429, "too many games sent from this address: wait a minute");
        if (req.body.empty()) return Fail(res, 400, "the body must be a recorded game");
        const std::vector<uint8_t> bytes(req.body.begin(), req.body.end());
        // A body that is no recording at all is not a game to keep.
        replay::TReplay unread;
        if (replay::DecodeReplay(bytes, unread) != replay::TReplayFault::None)
            return Fail(res, 400, "damaged file: not a recording of a game");
        const int64_t id = store_.AddPending(bytes, NowMs());
        Notify();
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(options_.answerWithinMs);
        for (;;) {
            uint64_t seen = 0;
            {
                std::lock_guard lock(mutex_);
                seen = generation_;
            }
            const std::optional<TSubmission> found = store_.Find(id);
            if (found && found->status != TStatus::Pending) return Reply(res, 201, Describe(store_, *found));
            std::unique_lock lock(mutex_);
            if (!changed_.wait_until(lock, deadline, [&] { return stopping_ || generation_ != seen; })) break;
            if (stopping_) break;
        }
        Reply(res, 202, {{"id", id}, {"status", "pending"}});
    });

    http.Get(R"(/api/scores/(\d{1,18}))", [this](const httplib::Request& req, httplib::Response& res) {
        const std::optional<TSubmission> found = store_.Find(std::stoll(req.matches[1].str()));
        if (!found) return Fail(res, 404, "no such submission");
        Reply(res, 200, Describe(store_, *found));
    });

    http.Get("/api/boards", [this](const httplib::Request&, httplib::Response& res) {
        const std::string& board = verifier_.Board();
        nlohmann::json boards =
            nlohmann::json::array({{{"digest", board},
                                    {"levels", verifier_.LevelCount()},
                                    {"first_level", EightBitToUtf8(verifier_.FirstLevelName())},
                                    {"entries", store_.BoardSize(board)}}});
        // Each level set the server keeps has a table of its own.
        for (const TStoredSet& set : levelSets_.List()) {
            boards.push_back({{"digest", set.digest},
                              {"levels", set.levels},
                              {"name", set.name},
                              {"entries", store_.BoardSize(set.digest)}});
        }
        Reply(res, 200, boards);
    });

    http.Get(R"(/api/boards/([0-9a-f]{16}))", [this](const httplib::Request& req, httplib::Response& res) {
        const std::string board = req.matches[1].str();
        if (board != verifier_.Board() && !levelSets_.Folder(board))
            return Fail(res, 404, "no such level set");
        int64_t limit = 0, offset = 0;
        if (!QueryNumber(req, "limit", 10, 1, kMaxBoardPage, limit))
            return Fail(res, 400, "limit is a number from 1 to 100");
        if (!QueryNumber(req, "offset", 0, 0, int64_t(1) << 40, offset))
            return Fail(res, 400, "offset is a number from 0");
        nlohmann::json entries = nlohmann::json::array();
        int64_t rank = offset;
        for (const TSubmission& s : store_.Board(board, limit, offset)) {
            entries.push_back({{"rank", ++rank},
                               {"id", s.id},
                               {"name", EightBitToUtf8(s.verdict.name)},
                               {"score", s.verdict.score},
                               {"level", s.verdict.level},
                               {"monsters", s.verdict.monsters},
                               {"bonuses", s.verdict.bonuses},
                               {"date", s.receivedAt},
                               {"duration_ms", s.verdict.durationMs}});
        }
        Reply(res, 200, {{"digest", board}, {"entries", entries}});
    });

    http.Post("/api/levelsets", [this](const httplib::Request& req, httplib::Response& res) {
        if (!rateLimit_.Allow(req.remote_addr, NowMs()))
            return Fail(res, 429, "too many requests from this address: wait a minute");
        const TAddedSet added = levelSets_.Add(std::vector<uint8_t>(req.body.begin(), req.body.end()),
                                               req.get_param_value("name"));
        if (!added.stored) return Fail(res, 422, added.refusal);
        Reply(res, added.known ? 200 : 201,
              {{"digest", added.stored->digest},
               {"name", added.stored->name},
               {"levels", added.stored->levels}});
    });

    http.Get("/api/levelsets", [this](const httplib::Request&, httplib::Response& res) {
        nlohmann::json sets = nlohmann::json::array();
        for (const TStoredSet& set : levelSets_.List())
            sets.push_back({{"digest", set.digest}, {"name", set.name}, {"levels", set.levels}});
        Reply(res, 200, sets);
    });

    http.Get(R"(/api/levelsets/([0-9a-f]{16}))", [this](const httplib::Request& req, httplib::Response& res) {
        const auto pack = levelSets_.Pack(req.matches[1].str());
        if (!pack) return Fail(res, 404, "no such level set");
        res.set_content(std::string(pack->begin(), pack->end()), "application/octet-stream");
    });

    http.Get(R"(/api/replays/(\d{1,18}))", [this](const httplib::Request& req, httplib::Response& res) {
        const auto replay = store_.ListedReplay(std::stoll(req.matches[1].str()));
        if (!replay) return Fail(res, 404, "no listed game of that number");
        res.set_content(std::string(replay->begin(), replay->end()), "application/octet-stream");
    });
}

}  // namespace server
