#include "emberlane-sim/timeline.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace timeline {
namespace {

std::string line(std::int64_t ms, const std::string& what, const std::string& detail) {
    char head[48];
    std::snprintf(head, sizeof head, "%s  %-18s ", clock(ms).c_str(), what.c_str());
    return head + detail + "\n";
}

} // namespace

std::string clock(std::int64_t ms) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld.%03lld", static_cast<long long>(ms / 60000),
                  static_cast<long long>(ms / 1000 % 60), static_cast<long long>(ms % 1000));
    return buffer;
}

std::string text(const observer::History& history) {
    std::string out;
    std::size_t lines = 0;
    for (const observer::Event& e : history.events) {
        if (++lines > mostLines) {
            out += line(e.ms, "timeline",
                        std::to_string(history.events.size() - mostLines) +
                            " more lines left out: a timeline shows at most " +
                            std::to_string(mostLines));
            break;
        }
        std::string detail = e.detail;
        // The scene's own lines name their cause already; a change it made says so.
        if (e.what != "scene" && e.cause == observer::Cause::Scene) detail += "  (by the scene)";
        if (e.cause == observer::Cause::Game) detail += "  (by the game)";
        out += line(e.ms, e.what, detail);
    }
    if (history.fullAt >= 0)
        out += line(history.fullAt, "timeline",
                    "no more lines: the game told of more than a timeline keeps");
    return out;
}

std::string summary(const observer::History& r) {
    std::vector<std::uint64_t> calls = r.callsPerPass;
    std::sort(calls.begin(), calls.end());
    char buffer[256];
    std::snprintf(buffer, sizeof buffer,
                  "%zu %s in %s of game time; native calls per pass min %llu, median %llu, "
                  "max %llu; scenario points left undeleted: %zu\n",
                  calls.size(), calls.size() == 1 ? "pass" : "passes", clock(r.endMs).c_str(),
                  static_cast<unsigned long long>(calls.empty() ? 0 : calls.front()),
                  static_cast<unsigned long long>(calls.empty() ? 0 : calls[calls.size() / 2]),
                  static_cast<unsigned long long>(calls.empty() ? 0 : calls.back()), r.pointsLeft);
    return buffer;
}

} // namespace timeline
