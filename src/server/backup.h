// Backups of the online table: every submission with its recording and
// status, and every used run token, one JSON object a line. A backup made
// from one database goes into another of either kind.
#pragma once

#include <cstdint>
#include <string>

#include "server/score_store.h"

namespace server {

struct TBackupCount {
    int64_t submissions = 0;
    int64_t tokens = 0;
};

// Writes the backup whole or not at all. Throws std::runtime_error with the
// reason.
TBackupCount ExportTable(ScoreStore& store, const std::string& path);
// Submissions whose number is taken already are left as they are. Throws
// std::runtime_error naming the line that cannot be read.
TBackupCount ImportTable(ScoreStore& store, const std::string& path);

}  // namespace server
