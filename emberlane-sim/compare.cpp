#include "emberlane-sim/compare.h"

#include "emberlane-sim/chaos_game.h"
#include "emberlane-sim/passes.h"
#include "emberlane-sim/session.h"
#include "emberlane-sim/settings_file.h"
#include "emberlane-sim/timeline.h"
#include "sim/errors.h"
#include "sim/native_table.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace compare {
namespace {

constexpr std::size_t callsBefore = 6, callsFrom = 4;

unsigned char byte(char c) { return static_cast<unsigned char>(c); }

struct Described {
    int pass;
    std::int64_t ms;
    std::string text;
};

// One build playing one game: a digest of each pass's calls, and, when asked, the calls of
// some passes in words and what a player sees at the end of one of them.
struct Playthrough {
    const Game& game;
    std::string plugin;
    const sim::Options& options;
    int recordFrom; // describe the calls from this pass on
    int lookAfter;  // take what a player sees when this pass ends, and stop after the next

    Playthrough(const Game& g, std::string build, const sim::Options& o, int from = -1,
                int look = -1)
        : game(g), plugin(std::move(build)), options(o), recordFrom(from), lookAfter(look) {}

    std::vector<std::uint64_t> digests{0xCBF29CE484222325ull}; // [0]: the start-up
    std::vector<Described> calls;
    observer::Sight sight;
    bool done = false;
    passes::Counter counter;

    void mix(std::uint64_t v) {
        std::uint64_t& d = digests.back();
        d ^= v;
        d *= 0x100000001B3ull;
    }

    // A call by its meaning: a text by its name, never by where it lies in memory; an
    // out-parameter by what the game wrote, which the result and the later calls show.
    void take(sim::Sim& sim, const session::Cast& cast, const sim::Call& c) {
        if (counter.take(c)) digests.push_back(0xCBF29CE484222325ull);
        mix(c.kind);
        mix(c.hash);
        const sim::NativeInfo* info =
            c.kind == sim::Call::Native ? sim::findNative(c.hash) : nullptr;
        for (std::uint8_t i = 0; i < c.argc; ++i) {
            const char kind = info && i < std::strlen(info->args) ? info->args[i] : 'a';
            if (kind == 's')
                mix(c.args[i] ? sim::joaat(reinterpret_cast<const char*>(c.args[i])) : 0);
            else if (kind != 'p')
                mix(c.args[i]);
        }
        for (std::uint64_t r : c.result) mix(r);
        if (recordFrom >= 0 && counter.number >= recordFrom)
            calls.push_back({counter.number, sim.host.elapsedMs, sim.describe(c)});
        if (counter.ended && counter.number == lookAfter) sight = session::sightOf(sim, cast);
        if (counter.ended && counter.number > lookAfter && lookAfter >= 0) done = true;
    }

    void refused(const sim::Sim& sim, const std::string& why) {
        mix(std::hash<std::string>{}(why));
        if (recordFrom >= 0)
            calls.push_back({counter.number, sim.host.elapsedMs, "the game refused: " + why});
    }

    void play() {
        sim::Options o = options;
        o.plugin = plugin;
        if (game.chaosSeed) {
            o.seed = game.chaosSeed;
            o.ini = chaos_game::settingsFor(game.chaosSeed);
        }
        sim::Sim sim(o);
        session::Cast cast = session::castOf(sim);
        sim.trace = [&](const sim::Call& c) { take(sim, cast, c); };
        try {
            if (game.chaosSeed) {
                chaos_game::Game chaos = chaos_game::begin(sim, game.chaosSeed);
                for (std::size_t i = 0; i < chaos.horses.size(); ++i)
                    cast.emplace_back("horse " + std::to_string(i + 1), chaos.horses[i]);
                while (!done && counter.completed() < game.passes) {
                    chaos_game::stir(sim, chaos);
                    sim.frame();
                }
            } else {
                const keys::Hotkey hotkey = settings_file::read(o.ini).hotkey;
                for (const scene::Step& step : game.scene.steps) {
                    while (!done && sim.host.elapsedMs < step.atMs) sim.frame();
                    if (done || step.action == scene::Action::End) break;
                    session::perform(sim, cast, step, hotkey);
                }
            }
        } catch (const sim::GameError& e) {
            refused(sim, e.what());
        }
        sim.trace = nullptr;
    }
};

std::string callList(const std::vector<std::string>& calls, const char* indent) {
    std::string out;
    for (const std::string& c : calls) out += indent + c + "\n";
    return out;
}

// A call's words with its numbers taken out: "_SET_ATTRIBUTE_CORE_VALUE(#, #, #)" and the
// numbers 1282, 0, 93. A digit inside a name ("INPUT_INTERACT_OPTION1") is the name's.
std::pair<std::string, std::vector<double>> shapeOf(const std::string& call) {
    auto digit = [&](std::size_t i) { return i < call.size() && std::isdigit(byte(call[i])); };
    std::pair<std::string, std::vector<double>> out;
    for (std::size_t i = 0; i < call.size();) {
        const bool inName =
            i > 0 && (std::isalnum(byte(call[i - 1])) || call[i - 1] == '_' || call[i - 1] == '.');
        if (inName || !(digit(i) || (call[i] == '-' && digit(i + 1)))) {
            out.first += call[i++];
            continue;
        }
        std::size_t end = i + 1;
        while (digit(end) || (end < call.size() && call[end] == '.')) ++end;
        out.second.push_back(std::strtod(call.substr(i, end - i).c_str(), nullptr));
        out.first += '#';
        i = end;
    }
    return out;
}

// One build's timeline of a scene game, a line an event; a refusal ends it.
std::vector<std::string> timelineOf(const Game& game, const std::string& plugin,
                                    const sim::Options& options) {
    session::Settings settings;
    settings.options = options;
    settings.options.plugin = plugin;
    settings.printEvents = false;
    std::string text;
    try {
        text = timeline::text(session::play(game.scene, settings));
    } catch (const sim::GameError& e) {
        text = std::string("the game stopped: ") + e.what() + "\n";
    }
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The lines not in both, by their longest common run: "- " for a line of `a` alone, "+ " for
// one of `b` alone, in the order of their game time.
std::vector<std::string> lineDifferences(const std::vector<std::string>& a,
                                         const std::vector<std::string>& b) {
    std::size_t head = 0, tail = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    const std::size_t n = a.size() - head - tail, m = b.size() - head - tail;
    // common[i][j]: the longest common run of a's and b's middles from i and j on.
    std::vector<std::vector<std::uint32_t>> common(n + 1, std::vector<std::uint32_t>(m + 1));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            common[i][j] = a[head + i] == b[head + j]
                               ? common[i + 1][j + 1] + 1
                               : std::max(common[i + 1][j], common[i][j + 1]);
    std::vector<std::string> out;
    for (std::size_t i = 0, j = 0; i < n || j < m;) {
        if (i < n && j < m && a[head + i] == b[head + j]) {
            ++i;
            ++j;
        } else if (i < n && (j == m || common[i + 1][j] >= common[i][j + 1])) {
            out.push_back("- " + a[head + i++]);
        } else {
            out.push_back("+ " + b[head + j++]);
        }
    }
    // By game time, the clock that starts each line; at the same time `a`'s first.
    std::stable_sort(out.begin(), out.end(), [](const std::string& x, const std::string& y) {
        const int time = x.compare(2, 9, y, 2, 9);
        return time < 0 || (time == 0 && x[0] == '-' && y[0] == '+');
    });
    return out;
}

} // namespace

Outcome compareGame(const Game& game, const std::string& ours, const std::string& theirs,
                    const sim::Options& options) {
    Playthrough a{game, ours, options}, b{game, theirs, options};
    a.play();
    b.play();
    Outcome out;
    out.passes = a.counter.completed();
    const auto [da, db] =
        std::mismatch(a.digests.begin(), a.digests.end(), b.digests.begin(), b.digests.end());
    if (da == a.digests.end() && db == b.digests.end()) return out;
    const int pass = static_cast<int>(da - a.digests.begin());

    // Again, up to that pass, with the calls in words from the pass before it on.
    Playthrough ra{game, ours, options, std::max(0, pass - 1), pass};
    Playthrough rb{game, theirs, options, std::max(0, pass - 1), pass};
    ra.play();
    rb.play();
    const auto same = [](const Described& x, const Described& y) { return x.text == y.text; };
    const auto [ca, cb] =
        std::mismatch(ra.calls.begin(), ra.calls.end(), rb.calls.begin(), rb.calls.end(), same);
    Divergence d;
    const Described* at = ca != ra.calls.end() ? &*ca : cb != rb.calls.end() ? &*cb : nullptr;
    d.pass = at ? at->pass : pass;
    d.ms = at ? at->ms : 0;
    for (auto it = ca - std::min<std::ptrdiff_t>(callsBefore, ca - ra.calls.begin()); it != ca;
         ++it)
        d.before.push_back(it->text);
    for (auto it = ca; it != ra.calls.end() && d.ours.size() < callsFrom; ++it)
        d.ours.push_back(it->text);
    for (auto it = cb; it != rb.calls.end() && d.theirs.size() < callsFrom; ++it)
        d.theirs.push_back(it->text);
    if (d.ours.empty()) d.ours.push_back("(no more calls: the game ended)");
    if (d.theirs.empty()) d.theirs.push_back("(no more calls: the game ended)");
    d.seenDifferently = sightDifferences(ra.sight, rb.sight);
    out.divergence = d;
    return out;
}

std::vector<std::string> sightDifferences(const observer::Sight& ours,
                                          const observer::Sight& theirs) {
    std::vector<std::string> out;
    for (const auto& [what, seen] : ours) {
        // Named again for the lambda: clang before 16 cannot capture a structured binding.
        const auto other = std::find_if(theirs.begin(), theirs.end(),
                                        [&key = what](const auto& s) { return s.first == key; });
        const std::string theirsSeen = other == theirs.end() ? "(not there)" : other->second;
        if (theirsSeen == seen) continue;
        std::string line = what;
        out.push_back(line.append(": ").append(seen).append(" | ").append(theirsSeen));
    }
    return out;
}

std::string describe(const Divergence& d, const std::string& ours, const std::string& theirs) {
    std::string out = "differs at pass " + std::to_string(d.pass) + ", " + timeline::clock(d.ms) +
                      " of game time\n";
    if (!d.before.empty()) out += "  before it, on both sides:\n" + callList(d.before, "    ");
    out += "  " + ours + ":\n" + callList(d.ours, "    ");
    out += "  " + theirs + ":\n" + callList(d.theirs, "    ");
    if (!d.theirsCut.empty())
        out += "  " + theirs + " cannot be read to the end of that pass: it is " + d.theirsCut +
               "; what a player sees there is not compared\n";
    else if (d.seenDifferently.empty())
        out += "  at the end of that pass a player sees no difference yet\n";
    else
        out += "  at the end of that pass a player sees (" + ours + " | " + theirs + "):\n" +
               callList(d.seenDifferently, "    ");
    return out;
}

std::string report(const Game& game, const Outcome& outcome) {
    if (!outcome.divergence)
        return game.name + ": identical, " + std::to_string(outcome.passes) +
               (outcome.passes == 1 ? " pass\n" : " passes\n");
    return game.name + ": " + describe(*outcome.divergence);
}

std::string kindOf(const Divergence& d) {
    const auto [ours, ourNumbers] = shapeOf(d.ours.empty() ? "" : d.ours.front());
    const auto [theirs, theirNumbers] = shapeOf(d.theirs.empty() ? "" : d.theirs.front());
    std::string kind = ours + " | " + theirs;
    if (ours != theirs) return kind;
    char b[48];
    for (std::size_t i = 0; i < ourNumbers.size(); ++i) {
        const double by = ourNumbers[i] - theirNumbers[i];
        std::snprintf(b, sizeof b, by == 0 ? " =" : " %+g", by);
        kind += b;
    }
    return kind;
}

std::vector<std::string> timelineDifferences(const Game& game, const std::string& ours,
                                             const std::string& theirs,
                                             const sim::Options& options) {
    return lineDifferences(timelineOf(game, theirs, options), timelineOf(game, ours, options));
}

std::string listOf(const std::vector<std::string>& names) {
    const std::string seed = "chaos seed ";
    std::string out;
    std::vector<long long> seeds; // a run of chaos games, listed together
    // Appended piece by piece: MinGW's GCC 12 warns on "-" + std::to_string(...).
    auto flush = [&] {
        if (seeds.empty()) return;
        out.append(out.empty() ? "" : ", ").append(seeds.size() > 1 ? "chaos seeds " : seed);
        for (std::size_t i = 0; i < seeds.size();) {
            std::size_t j = i;
            while (j + 1 < seeds.size() && seeds[j + 1] == seeds[j] + 1) ++j;
            out.append(i ? ", " : "").append(std::to_string(seeds[i]));
            if (j > i) out.append("-").append(std::to_string(seeds[j]));
            i = j + 1;
        }
        seeds.clear();
    };
    for (const std::string& name : names) {
        if (name.rfind(seed, 0) == 0) {
            seeds.push_back(std::atoll(name.c_str() + seed.size()));
            continue;
        }
        flush();
        out += (out.empty() ? "" : ", ") + name;
    }
    flush();
    return out;
}

std::string groupedReport(const std::vector<Differing>& differing, bool allLines) {
    std::vector<std::pair<std::string, std::vector<const Differing*>>> groups;
    for (const Differing& d : differing) {
        const std::string kind = kindOf(d.divergence);
        const auto group = std::find_if(groups.begin(), groups.end(),
                                        [&](const auto& g) { return g.first == kind; });
        if (group == groups.end())
            groups.push_back({kind, {&d}});
        else
            group->second.push_back(&d);
    }
    std::string out;
    for (const auto& [kind, games] : groups) {
        out += "\n" + games.front()->game.name + ": " + describe(games.front()->divergence);
        if (games.size() > 1) {
            std::vector<std::string> others;
            for (std::size_t i = 1; i < games.size(); ++i) others.push_back(games[i]->game.name);
            out += "  the same first difference in " + std::to_string(others.size()) + " more " +
                   (others.size() > 1 ? "games: " : "game: ") + listOf(others) + "\n";
        }
        for (const Differing* d : games) {
            if (d->game.chaosSeed) continue;
            const std::string head = "  what a player sees over the whole of " + d->game.name;
            const std::vector<std::string>& lines = d->timeline;
            if (lines.empty())
                out += head + ": the same with both builds\n";
            else if (!allLines)
                out += head + ": " + std::to_string(lines.size()) +
                       (lines.size() > 1 ? " lines differ" : " line differs") + ", from " +
                       lines.front().substr(2, 9) + " (--timelines shows them)\n";
            else
                out += head + " (- the other build, + this build):\n" + callList(lines, "    ");
        }
    }
    return out;
}

} // namespace compare
