#include <libpq-fe.h>

#include <cstring>
#include <mutex>
#include <stdexcept>

#include "server/score_store.h"

namespace server {

namespace {

// A finished query's result, cleared when it goes.
class Result {
public:
    explicit Result(PGresult* result) : result_(result) {}
    ~Result() { PQclear(result_); }
    Result(Result&& other) noexcept : result_(other.result_) { other.result_ = nullptr; }
    Result(const Result&) = delete;
    Result& operator=(const Result&) = delete;
    Result& operator=(Result&&) = delete;
    bool Succeeded() const {
        const ExecStatusType status = PQresultStatus(result_);
        return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
    }
    int Rows() const { return PQntuples(result_); }
    std::string Text(int row, int column) const { return PQgetvalue(result_, row, column); }
    int64_t Int(int row, int column) const { return std::stoll(PQgetvalue(result_, row, column)); }
    // A column asked for in binary: bytea as its bytes.
    std::vector<uint8_t> Bytes(int row, int column) const {
        const auto* data = reinterpret_cast<const uint8_t*>(PQgetvalue(result_, row, column));
        return std::vector<uint8_t>(data, data + PQgetlength(result_, row, column));
    }
    // A bigint asked for in binary: eight bytes, high first.
    int64_t BinaryInt(int row, int column) const {
        const auto* data = reinterpret_cast<const uint8_t*>(PQgetvalue(result_, row, column));
        uint64_t value = 0;
        for (int i = 0; i < 8; ++i) value = value << 8 | data[i];
        return int64_t(value);
    }

private:
    PGresult* result_;
};

// The parameters of one query: values are sent apart from the SQL text,
// never written into it.
class Parameters {
public:
    Parameters& Add(const std::string& text) {
        texts_.push_back(text);
        binary_.push_back(0);
        return *this;
    }
    Parameters& Add(int64_t value) { return Add(std::to_string(value)); }
    Parameters& Add(const std::vector<uint8_t>& bytes) {
        texts_.emplace_back(bytes.begin(), bytes.end());
        binary_.push_back(1);
        return *this;
    }
    int Count() const { return int(texts_.size()); }
    std::vector<const char*> Values() const {
        std::vector<const char*> values;
        for (const std::string& text : texts_) values.push_back(text.data());
        return values;
    }
    std::vector<int> Lengths() const {
        std::vector<int> lengths;
        for (const std::string& text : texts_) lengths.push_back(int(text.size()));
        return lengths;
    }
    const int* Formats() const { return binary_.data(); }

private:
    std::vector<std::string> texts_;
    std::vector<int> binary_;
};

// A submission taken by a worker that has not finished it in this long is
// taken again: the worker's process has gone (games are played for at most
// 10 s).
constexpr int kClaimLeaseSeconds = 60;

TSubmission ReadSubmission(const Result& rows, int row) {
    TSubmission s;
    s.id = rows.Int(row, 0);
    s.status = StatusFromName(rows.Text(row, 1));
    s.verdict.listed = s.status == TStatus::Listed;
    s.verdict.reason = rows.Text(row, 2);
    s.verdict.name = rows.Text(row, 3);
    s.verdict.score = int32_t(rows.Int(row, 4));
    s.verdict.level = int32_t(rows.Int(row, 5));
    s.verdict.monsters = int32_t(rows.Int(row, 6));
    s.verdict.bonuses = int32_t(rows.Int(row, 7));
    s.verdict.board = rows.Text(row, 8);
    s.verdict.durationMs = rows.Int(row, 9);
    s.receivedAt = rows.Int(row, 10);
    return s;
}

class PostgresStore : public ScoreStore {
public:
    explicit PostgresStore(const std::string& url) : connection_(PQconnectdb(url.c_str())) {
        if (PQstatus(connection_) != CONNECTION_OK) {
            const std::string why = PQerrorMessage(connection_);
            PQfinish(connection_);
            throw std::runtime_error("can't reach the database: " + why);
        }
        Migrate();
    }
    ~PostgresStore() override { PQfinish(connection_); }

    int64_t AddPending(const std::vector<uint8_t>& replay, int64_t receivedAtMs) override {
        std::lock_guard lock(mutex_);
        const Result added =
            Run("INSERT INTO scores (status, replay, received_at) VALUES ('pending', $1, $2) RETURNING id",
                Parameters().Add(replay).Add(receivedAtMs));
        return added.Int(0, 0);
    }

    std::optional<TJob> ClaimPending() override {
        std::lock_guard lock(mutex_);
        // Each job goes to exactly one worker of all the server processes.
        const Result claimed =
            Run("UPDATE scores SET status = 'verifying', claimed_at = now() WHERE id = ("
                "SELECT id FROM scores WHERE status = 'pending' OR (status = 'verifying' AND claimed_at < "
                "now() - "
                "make_interval(secs => $1)) ORDER BY id LIMIT 1 FOR UPDATE SKIP LOCKED) "
                "RETURNING id, replay, received_at",
                Parameters().Add(int64_t(kClaimLeaseSeconds)), 1);
        if (claimed.Rows() == 0) return std::nullopt;
        return TJob{claimed.BinaryInt(0, 0), claimed.Bytes(0, 1), claimed.BinaryInt(0, 2)};
    }

    bool TokenUsed(const std::string& token) override {
        std::lock_guard lock(mutex_);
        return Run("SELECT 1 FROM used_tokens WHERE token = $1", Parameters().Add(token)).Rows() == 1;
    }

    bool UseToken(const std::string& token, int64_t nowMs) override {
        std::lock_guard lock(mutex_);
        const Result used =
            Run("INSERT INTO used_tokens (token, used_at) VALUES ($1, $2) ON CONFLICT DO NOTHING "
                "RETURNING token",
                Parameters().Add(token).Add(nowMs));
        return used.Rows() == 1;
    }

    void Finish(int64_t id, const TVerdict& v) override {
        std::lock_guard lock(mutex_);
        Run("UPDATE scores SET status = $1, reason = $2, name = $3, score = $4, level = $5, monsters = $6, "
            "bonuses = $7, board = $8, duration_ms = $9 WHERE id = $10",
            Parameters()
                .Add(std::string(v.listed ? "listed" : "rejected"))
                .Add(v.reason)
                .Add(v.name)
                .Add(v.score)
                .Add(v.level)
                .Add(v.monsters)
                .Add(v.bonuses)
                .Add(v.board)
                .Add(v.durationMs)
                .Add(id));
    }

    std::optional<TSubmission> Find(int64_t id) override {
        std::lock_guard lock(mutex_);
        const Result found = Run(std::string("SELECT ") + kSubmissionColumns + " FROM scores WHERE id = $1",
                                 Parameters().Add(id));
        if (found.Rows() == 0) return std::nullopt;
        return ReadSubmission(found, 0);
    }

    int64_t Rank(const TSubmission& listed) override {
        std::lock_guard lock(mutex_);
        const Result rank =
            Run("SELECT COUNT(*) FROM scores WHERE status = 'listed' AND board = $1 "
                "AND (score > $2 OR (score = $2 AND id < $3))",
                Parameters().Add(listed.verdict.board).Add(listed.verdict.score).Add(listed.id));
        return rank.Int(0, 0) + 1;
    }

    std::vector<TSubmission> Board(const std::string& board, int64_t limit, int64_t offset) override {
        std::lock_guard lock(mutex_);
        const Result rows =
            Run(std::string("SELECT ") + kSubmissionColumns +
                    " FROM scores WHERE status = 'listed' AND board = $1 ORDER BY score DESC, id ASC "
                    "LIMIT $2 OFFSET $3",
                Parameters().Add(board).Add(limit).Add(offset));
        std::vector<TSubmission> entries;
        for (int row = 0; row < rows.Rows(); ++row) entries.push_back(ReadSubmission(rows, row));
        return entries;
    }

    int64_t BoardSize(const std::string& board) override {
        std::lock_guard lock(mutex_);
        return Run("SELECT COUNT(*) FROM scores WHERE status = 'listed' AND board = $1",
                   Parameters().Add(board))
            .Int(0, 0);
    }

    std::optional<std::vector<uint8_t>> ListedReplay(int64_t id) override {
        std::lock_guard lock(mutex_);
        const Result found =
            Run("SELECT replay FROM scores WHERE id = $1 AND status = 'listed'", Parameters().Add(id), 1);
        if (found.Rows() == 0) return std::nullopt;
        return found.Bytes(0, 0);
    }

    void ForEachStored(const std::function<void(const TStoredSubmission&)>& take) override {
        std::lock_guard lock(mutex_);
        const Result ids = Run("SELECT id FROM scores ORDER BY id", Parameters());
        for (int row = 0; row < ids.Rows(); ++row) {
            const Result one = Run(std::string("SELECT ") + kSubmissionColumns + " FROM scores WHERE id = $1",
                                   Parameters().Add(ids.Int(row, 0)));
            const Result replay =
                Run("SELECT replay FROM scores WHERE id = $1", Parameters().Add(ids.Int(row, 0)), 1);
            if (one.Rows() == 1 && replay.Rows() == 1) take({ReadSubmission(one, 0), replay.Bytes(0, 0)});
        }
    }

    void ForEachUsedToken(const std::function<void(const std::string&, int64_t)>& take) override {
        std::lock_guard lock(mutex_);
        const Result rows =
            Run("SELECT token, used_at FROM used_tokens ORDER BY used_at, token", Parameters());
        for (int row = 0; row < rows.Rows(); ++row) take(rows.Text(row, 0), rows.Int(row, 1));
    }

    bool Restore(const TStoredSubmission& stored) override {
        std::lock_guard lock(mutex_);
        const TSubmission& s = stored.submission;
        const TVerdict& v = s.verdict;
        const Result added =
            Run("INSERT INTO scores (id, status, reason, name, score, level, monsters, bonuses, board, "
                "duration_ms, "
                "received_at, replay) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12) "
                "ON CONFLICT DO NOTHING RETURNING id",
                Parameters()
                    .Add(s.id)
                    .Add(std::string(StatusName(s.status)))
                    .Add(v.reason)
                    .Add(v.name)
                    .Add(v.score)
                    .Add(v.level)
                    .Add(v.monsters)
                    .Add(v.bonuses)
                    .Add(v.board)
                    .Add(v.durationMs)
                    .Add(s.receivedAt)
                    .Add(stored.replay));
        // New submissions are numbered after the restored ones.
        Run("SELECT setval(pg_get_serial_sequence('scores', 'id'), GREATEST((SELECT MAX(id) FROM scores), "
            "1))",
            Parameters());
        return added.Rows() == 1;
    }

    void RestoreUsedToken(const std::string& token, int64_t usedAtMs) override {
        std::lock_guard lock(mutex_);
        Run("INSERT INTO used_tokens (token, used_at) VALUES ($1, $2) ON CONFLICT DO NOTHING",
            Parameters().Add(token).Add(usedAtMs));
    }

    void Check() override {
        std::lock_guard lock(mutex_);
        Run("SELECT 1", Parameters());
    }

private:
    // resultFormat 1: every column in binary.
    Result Run(const std::string& sql, const Parameters& parameters, int resultFormat = 0) {
        // A connection lost since the last query is opened again once.
        if (PQstatus(connection_) != CONNECTION_OK) PQreset(connection_);
        const std::vector<const char*> values = parameters.Values();
        const std::vector<int> lengths = parameters.Lengths();
        Result result(PQexecParams(connection_, sql.c_str(), parameters.Count(), nullptr, values.data(),
                                   lengths.data(), parameters.Formats(), resultFormat));
        if (!result.Succeeded())
            throw std::runtime_error(std::string("database: ") + PQerrorMessage(connection_));
        return result;
    }

    // Each step once, in order, whichever server process starts first.
    void Migrate() {
        static const char* const kSteps[] = {
            "CREATE TABLE scores (id BIGSERIAL PRIMARY KEY, status TEXT NOT NULL, reason TEXT NOT NULL "
            "DEFAULT '', "
            "name TEXT NOT NULL DEFAULT '', score INTEGER NOT NULL DEFAULT 0, level INTEGER NOT NULL DEFAULT "
            "0, "
            "monsters INTEGER NOT NULL DEFAULT 0, bonuses INTEGER NOT NULL DEFAULT 0, board TEXT NOT NULL "
            "DEFAULT "
            "'', duration_ms BIGINT NOT NULL DEFAULT 0, received_at BIGINT NOT NULL, replay BYTEA NOT NULL, "
            "claimed_at TIMESTAMPTZ);"
            "CREATE INDEX scores_board ON scores (board, status, score DESC, id);"
            "CREATE INDEX scores_status ON scores (status, id);"
            "CREATE TABLE used_tokens (token TEXT PRIMARY KEY, used_at BIGINT NOT NULL);",
        };
        Run("BEGIN", Parameters());
        try {
            Run("SELECT pg_advisory_xact_lock(20261210)", Parameters());
            Run("CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL)", Parameters());
            const int64_t done =
                Run("SELECT COALESCE(MAX(version), 0) FROM schema_version", Parameters()).Int(0, 0);
            for (int64_t step = done; step < int64_t(std::size(kSteps)); ++step) {
                // Several statements in one step: sent as a plain query.
                Result result(PQexec(connection_, kSteps[step]));
                if (!result.Succeeded())
                    throw std::runtime_error(std::string("database: ") + PQerrorMessage(connection_));
                Run("INSERT INTO schema_version VALUES ($1)", Parameters().Add(step + 1));
            }
            Run("COMMIT", Parameters());
        } catch (...) {
            PQclear(PQexec(connection_, "ROLLBACK"));
            throw;
        }
    }

    PGconn* connection_;
    std::mutex mutex_;
};

}  // namespace

std::unique_ptr<ScoreStore> OpenPostgresStore(const std::string& url) {
    return std::make_unique<PostgresStore>(url);
}

}  // namespace server
