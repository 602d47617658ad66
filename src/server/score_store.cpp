#include "server/score_store.h"

namespace server {

const char* StatusName(TStatus status) {
    switch (status) {
        case TStatus::Pending: return "pending";
        case TStatus::Listed: return "listed";
        case TStatus::Rejected: return "rejected";
    }
    return "pending";
}

TStatus StatusFromName(const std::string& name) {
    if (name == "listed") return TStatus::Listed;
    if (name == "rejected") return TStatus::Rejected;
    return TStatus::Pending;
}

}  // namespace server
