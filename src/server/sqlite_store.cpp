#include <sqlite3.h>

#include <mutex>
#include <stdexcept>

#include "server/score_store.h"

namespace server {

namespace {

// One prepared statement; values are bound, never written into SQL text.
class Statement {
public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("database: ") + sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(statement_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    Statement& Bind(int index, int64_t value) {
        sqlite3_bind_int64(statement_, index, value);
        return *this;
    }
    Statement& Bind(int index, const std::string& text) {
        sqlite3_bind_text(statement_, index, text.data(), int(text.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& Bind(int index, const std::vector<uint8_t>& bytes) {
        sqlite3_bind_blob(statement_, index, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // true while there is a row.
    bool Step() {
        const int result = sqlite3_step(statement_);
        if (result == SQLITE_ROW) return true;
        if (result == SQLITE_DONE) return false;
        throw std::runtime_error(std::string("database: ") + sqlite3_errmsg(db_));
    }
    int64_t Int(int column) { return sqlite3_column_int64(statement_, column); }
    std::string Text(int column) {
        const auto* text = sqlite3_column_text(statement_, column);
        return text ? std::string(reinterpret_cast<const char*>(text),
                                  size_t(sqlite3_column_bytes(statement_, column)))
                    : std::string();
    }
    std::vector<uint8_t> Blob(int column) {
        const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(statement_, column));
        return std::vector<uint8_t>(data, data + sqlite3_column_bytes(statement_, column));
    }

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

TSubmission ReadSubmission(Statement& row) {
    TSubmission s;
    s.id = row.Int(0);
    s.status = StatusFromName(row.Text(1));
    s.verdict.listed = s.status == TStatus::Listed;
    s.verdict.reason = row.Text(2);
    s.verdict.name = row.Text(3);
    s.verdict.score = int32_t(row.Int(4));
    s.verdict.level = int32_t(row.Int(5));
    s.verdict.monsters = int32_t(row.Int(6));
    s.verdict.bonuses = int32_t(row.Int(7));
    s.verdict.board = row.Text(8);
    s.verdict.durationMs = row.Int(9);
    s.receivedAt = row.Int(10);
    return s;
}

class SqliteStore : public ScoreStore {
public:
    explicit SqliteStore(const std::string& path) {
        if (sqlite3_open_v2(path.c_str(), &db_,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                            nullptr) != SQLITE_OK) {
            const std::string why = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            throw std::runtime_error("can't open the database " + path + ": " + why);
        }
        sqlite3_busy_timeout(db_, 5000);
        Execute("PRAGMA journal_mode=WAL");
        Execute("PRAGMA synchronous=NORMAL");
        Migrate();
        // A submission being verified when the server stopped is verified again.
        Execute("UPDATE scores SET status = 'pending' WHERE status = 'verifying'");
    }
    ~SqliteStore() override { sqlite3_close(db_); }

    int64_t AddPending(const std::vector<uint8_t>& replay, int64_t receivedAtMs) override {
        std::lock_guard lock(mutex_);
        Statement insert(db_, "INSERT INTO scores (status, replay, received_at) VALUES ('pending', ?, ?)");
        insert.Bind(1, replay).Bind(2, receivedAtMs).Step();
        return sqlite3_last_insert_rowid(db_);
    }

    std::optional<TJob> ClaimPending() override {
        std::lock_guard lock(mutex_);
        Statement claim(db_,
                        "UPDATE scores SET status = 'verifying' WHERE id = "
                        "(SELECT id FROM scores WHERE status = 'pending' ORDER BY id LIMIT 1) "
                        "RETURNING id, replay, received_at");
        if (!claim.Step()) return std::nullopt;
        TJob job{claim.Int(0), claim.Blob(1), claim.Int(2)};
        while (claim.Step()) {
        }
        return job;
    }

    bool TokenUsed(const std::string& token) override {
        std::lock_guard lock(mutex_);
        Statement used(db_, "SELECT 1 FROM used_tokens WHERE token = ?");
        used.Bind(1, token);
        return used.Step();
    }

    bool UseToken(const std::string& token, int64_t nowMs) override {
        std::lock_guard lock(mutex_);
        Statement use(db_, "INSERT OR IGNORE INTO used_tokens (token, used_at) VALUES (?, ?)");
        use.Bind(1, token).Bind(2, nowMs).Step();
        return sqlite3_changes(db_) == 1;
    }

    void Finish(int64_t id, const TVerdict& v) override {
        std::lock_guard lock(mutex_);
        Statement update(
            db_,
            "UPDATE scores SET status = ?, reason = ?, name = ?, score = ?, level = ?, monsters = ?, "
            "bonuses = ?, board = ?, duration_ms = ? WHERE id = ?");
        update.Bind(1, std::string(v.listed ? "listed" : "rejected"))
            .Bind(2, v.reason)
            .Bind(3, v.name)
            .Bind(4, v.score)
            .Bind(5, v.level)
            .Bind(6, v.monsters)
            .Bind(7, v.bonuses)
            .Bind(8, v.board)
            .Bind(9, v.durationMs)
            .Bind(10, id)
            .Step();
    }

    std::optional<TSubmission> Find(int64_t id) override {
        std::lock_guard lock(mutex_);
        Statement find(db_,
                       (std::string("SELECT ") + kSubmissionColumns + " FROM scores WHERE id = ?").c_str());
        find.Bind(1, id);
        if (!find.Step()) return std::nullopt;
        return ReadSubmission(find);
    }

    int64_t Rank(const TSubmission& listed) override {
        std::lock_guard lock(mutex_);
        Statement rank(db_,
                       "SELECT COUNT(*) FROM scores WHERE status = 'listed' AND board = ? "
                       "AND (score > ? OR (score = ? AND id < ?))");
        rank.Bind(1, listed.verdict.board)
            .Bind(2, listed.verdict.score)
            .Bind(3, listed.verdict.score)
            .Bind(4, listed.id);
        rank.Step();
        return rank.Int(0) + 1;
    }

    std::vector<TSubmission> Board(const std::string& board, int64_t limit, int64_t offset) override {
        std::lock_guard lock(mutex_);
        Statement list(db_, (std::string("SELECT ") + kSubmissionColumns +
                             " FROM scores WHERE status = 'listed' AND board = ? ORDER BY score DESC, id ASC "
                             "LIMIT ? OFFSET ?")
                                .c_str());
        list.Bind(1, board).Bind(2, limit).Bind(3, offset);
        std::vector<TSubmission> entries;
        while (list.Step()) entries.push_back(ReadSubmission(list));
        return entries;
    }

    int64_t BoardSize(const std::string& board) override {
        std::lock_guard lock(mutex_);
        Statement count(db_, "SELECT COUNT(*) FROM scores WHERE status = 'listed' AND board = ?");
        count.Bind(1, board).Step();
        return count.Int(0);
    }

    std::optional<std::vector<uint8_t>> ListedReplay(int64_t id) override {
        std::lock_guard lock(mutex_);
        Statement find(db_, "SELECT replay FROM scores WHERE id = ? AND status = 'listed'");
        find.Bind(1, id);
        if (!find.Step()) return std::nullopt;
        return find.Blob(0);
    }

    void ForEachStored(const std::function<void(const TStoredSubmission&)>& take) override {
        std::lock_guard lock(mutex_);
        Statement rows(
            db_, (std::string("SELECT ") + kSubmissionColumns + ", replay FROM scores ORDER BY id").c_str());
        while (rows.Step()) take({ReadSubmission(rows), rows.Blob(11)});
    }

    void ForEachUsedToken(const std::function<void(const std::string&, int64_t)>& take) override {
        std::lock_guard lock(mutex_);
        Statement rows(db_, "SELECT token, used_at FROM used_tokens ORDER BY used_at, token");
        while (rows.Step()) take(rows.Text(0), rows.Int(1));
    }

    bool Restore(const TStoredSubmission& stored) override {
        std::lock_guard lock(mutex_);
        const TSubmission& s = stored.submission;
        const TVerdict& v = s.verdict;
        Statement insert(
            db_,
            "INSERT OR IGNORE INTO scores (id, status, reason, name, score, level, monsters, bonuses, "
            "board, duration_ms, received_at, replay) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        insert.Bind(1, s.id)
            .Bind(2, std::string(StatusName(s.status)))
            .Bind(3, v.reason)
            .Bind(4, v.name)
            .Bind(5, v.score)
            .Bind(6, v.level)
            .Bind(7, v.monsters)
            .Bind(8, v.bonuses)
            .Bind(9, v.board)
            .Bind(10, v.durationMs)
            .Bind(11, s.receivedAt)
            .Bind(12, stored.replay)
            .Step();
        return sqlite3_changes(db_) == 1;
    }

    void RestoreUsedToken(const std::string& token, int64_t usedAtMs) override {
        std::lock_guard lock(mutex_);
        Statement use(db_, "INSERT OR IGNORE INTO used_tokens (token, used_at) VALUES (?, ?)");
        use.Bind(1, token).Bind(2, usedAtMs).Step();
    }

    void Check() override {
        std::lock_guard lock(mutex_);
        Statement check(db_, "SELECT COUNT(*) FROM scores");
        check.Step();
    }

private:
    void Execute(const char* sql) {
        char* error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string why = error ? error : "unknown error";
            sqlite3_free(error);
            throw std::runtime_error("database: " + why);
        }
    }

    // Each step once, in order; the user_version says how far a file is.
    void Migrate() {
        static const char* const kSteps[] = {
            "CREATE TABLE scores (id INTEGER PRIMARY KEY, status TEXT NOT NULL, reason TEXT NOT NULL DEFAULT "
            "'', "
            "name TEXT NOT NULL DEFAULT '', score INTEGER NOT NULL DEFAULT 0, level INTEGER NOT NULL DEFAULT "
            "0, "
            "monsters INTEGER NOT NULL DEFAULT 0, bonuses INTEGER NOT NULL DEFAULT 0, board TEXT NOT NULL "
            "DEFAULT '', "
            "duration_ms INTEGER NOT NULL DEFAULT 0, received_at INTEGER NOT NULL, replay BLOB NOT NULL);"
            "CREATE INDEX scores_board ON scores (board, status, score DESC, id);"
            "CREATE INDEX scores_status ON scores (status, id);",
            "CREATE TABLE used_tokens (token TEXT PRIMARY KEY, used_at INTEGER NOT NULL);",
        };
        int64_t done = 0;
        {
            Statement version(db_, "PRAGMA user_version");
            version.Step();
            done = version.Int(0);
        }
        for (int64_t step = done; step < int64_t(std::size(kSteps)); ++step) {
            Execute("BEGIN");
            Execute(kSteps[step]);
            Execute(("PRAGMA user_version = " + std::to_string(step + 1)).c_str());
            Execute("COMMIT");
        }
    }

    sqlite3* db_ = nullptr;
    std::mutex mutex_;
};

}  // namespace

std::unique_ptr<ScoreStore> OpenSqliteStore(const std::string& path) {
    return std::make_unique<SqliteStore>(path);
}

}  // namespace server
