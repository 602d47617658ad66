#include "server/judge.h"

#include "replay/replay_file.h"

namespace server {

TVerdict Judge(const TJob& job, const Verifier& verifier, const RunTokens& tokens, ScoreStore& store) {
    TVerdict rejected;
    replay::TReplay recording;
    if (replay::DecodeReplay(job.replay, recording) != replay::TReplayFault::None) {
        rejected.reason = "damaged file";
        return rejected;
    }
    if (!recording.Online.Present()) {
        rejected.reason = "token missing: the game was played offline";
        return rejected;
    }
    const std::optional<int64_t> issued = tokens.IssuedAt(recording.Online.Token);
    if (!issued) {
        rejected.reason = "token forged";
        return rejected;
    }
    const int64_t sinceToken = job.receivedAtMs - *issued;
    if (sinceToken > kTokenLifetimeMs) {
        rejected.reason = "token expired";
        return rejected;
    }
    // A token seen before needs no game played again to say so.
    if (store.TokenUsed(recording.Online.Token)) {
        rejected.reason = "token used before";
        return rejected;
    }
    TVerdict verdict = verifier.Verify(job.replay);
    if (verdict.name.empty()) verdict.name = recording.Online.PlayerName;
    if (!verdict.listed) return verdict;
    verdict.listed = false;
    if (verdict.durationMs > sinceToken + kClockSlackMs) {
        verdict.reason = "the game's time is longer than the time since its token was issued";
    } else if (sinceToken - verdict.durationMs > kMaxAfterGameMs) {
        verdict.reason =
            "the game's time is shorter than the time since its token was issued: played slowed down";
    } else if (!store.UseToken(recording.Online.Token, job.receivedAtMs)) {
        verdict.reason = "token used before";
    } else {
        verdict.listed = true;
    }
    return verdict;
}

}  // namespace server
