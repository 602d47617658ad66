#include "shell/difficulty.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace shell {

std::string DescribeEstimate(const std::string& json) {
    try {
        const nlohmann::json results = nlohmann::json::parse(json);
        std::string text = "Cleared by";
        for (const auto& profile : results.at("profiles")) {
            const auto& level = profile.at("levels").at(0);
            text += " " + profile.at("name").get<std::string>() + " " +
                    std::to_string(int(level.at("clear_rate").get<double>() + 0.5)) + "%";
        }
        const auto& level = results.at("levels").at(0);
        char catches[160];
        std::snprintf(catches, sizeof catches,
                      " (20%% at least); a still player caught after %.1f s (3 to 30), one arrow after %.1f "
                      "s (2 or more)",
                      level.value("first_catch_still", 0.0), level.value("first_catch_one_arrow", 0.0));
        return text + catches;
    } catch (const nlohmann::json::exception&) {
        return "The estimate could not be made";
    }
}

}  // namespace shell
