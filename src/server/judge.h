// Everything a submission must pass to be listed, in order: a sound file, a
// run token of ours that is not too old, the game played again as recorded
// on our level set, a game time that fits the time between the token and
// the submission, and a token not used before.
#pragma once

#include "server/run_tokens.h"
#include "server/score_store.h"
#include "server/verifier.h"

namespace server {

constexpr int64_t kTokenLifetimeMs = 24 * 3600 * 1000;
// A game's frames may run this much ahead of the clock on the wall.
constexpr int64_t kClockSlackMs = 2000;
// The longest a player may take after the game (the name entry, the upload)
// before the submission: more looks like a game played slower than recorded.
constexpr int64_t kMaxAfterGameMs = 15 * 60 * 1000;

TVerdict Judge(const TJob& job, const Verifier& verifier, const RunTokens& tokens, ScoreStore& store);

}  // namespace server
