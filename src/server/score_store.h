// Where the online table keeps what players send: every submission with its
// recording, its state (pending, listed, rejected) and, once verified, its
// result. A small interface so that another database can stand behind it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace server {

enum class TStatus { Pending, Listed, Rejected };

const char* StatusName(TStatus status);
// The status a table keeps as text; one being verified is pending to whoever
// asks.
TStatus StatusFromName(const std::string& name);

// The columns both databases read a submission from, in this order.
constexpr const char* kSubmissionColumns =
    "id, status, reason, name, score, level, monsters, bonuses, board, duration_ms, received_at";

// What verifying a submission found.
struct TVerdict {
    bool listed = false;
    std::string reason;  // why it was rejected
    std::string name;    // the high-score name the game was played under
    int32_t score = 0;
    int32_t level = 0;
    int32_t monsters = 0;
    int32_t bonuses = 0;
    std::string board;  // the level set's digest, in hex
    int64_t durationMs = 0;
};

// A submission a worker has taken to verify.
struct TJob {
    int64_t id = 0;
    std::vector<uint8_t> replay;
    int64_t receivedAtMs = 0;
};

struct TSubmission {
    int64_t id = 0;
    TStatus status = TStatus::Pending;
    TVerdict verdict;
    int64_t receivedAt = 0;  // milliseconds since 1970, UTC
};

// A submission as the table keeps it, its recording and status included:
// what a backup holds.
struct TStoredSubmission {
    TSubmission submission;
    std::vector<uint8_t> replay;
};

class ScoreStore {
public:
    virtual ~ScoreStore() = default;

    // Kept before anything is acknowledged; the id it was given.
    virtual int64_t AddPending(const std::vector<uint8_t>& replay, int64_t receivedAtMs) = 0;
    // The oldest submission no worker has taken yet, now taken by the caller.
    virtual std::optional<TJob> ClaimPending() = 0;
    // Marks a run token used; false when it was used before.
    virtual bool UseToken(const std::string& token, int64_t nowMs) = 0;
    virtual bool TokenUsed(const std::string& token) = 0;
    virtual void Finish(int64_t id, const TVerdict& verdict) = 0;

    virtual std::optional<TSubmission> Find(int64_t id) = 0;
    // A listed entry's place on its board: by score, equal scores in the
    // order they were sent, as the game's own table orders them.
    virtual int64_t Rank(const TSubmission& listed) = 0;
    virtual std::vector<TSubmission> Board(const std::string& board, int64_t limit, int64_t offset) = 0;
    virtual int64_t BoardSize(const std::string& board) = 0;
    // The recording of a listed entry.
    virtual std::optional<std::vector<uint8_t>> ListedReplay(int64_t id) = 0;
    // Throws with the database's own words when it cannot answer.
    virtual void Check() = 0;

    // Backups: every submission in the order it came, and every used token.
    virtual void ForEachStored(const std::function<void(const TStoredSubmission&)>& take) = 0;
    virtual void ForEachUsedToken(const std::function<void(const std::string&, int64_t usedAtMs)>& take) = 0;
    // Puts one back under its own number; false when that number is taken.
    virtual bool Restore(const TStoredSubmission& stored) = 0;
    virtual void RestoreUsedToken(const std::string& token, int64_t usedAtMs) = 0;
};

// "sqlite:PATH". Throws std::runtime_error with the reason when the file
// cannot be opened or made.
std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path);
// A postgresql:// URL (libpq's; parts left out come from PGHOST, PGUSER and
// the like). Several server processes may share one database.
std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& url);

}  // namespace server
