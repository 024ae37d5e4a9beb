#include "emberlane-sim/scene.h"

#include "emberlane-sim/keys.h"
#include "sim/sim.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace scene {
namespace {

std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool number(std::string_view text, double& out) {
    if (text.empty() || text.size() > 64) return false;
    const std::string copy(text);
    char* end = nullptr;
    out = std::strtod(copy.c_str(), &end);
    return end == copy.c_str() + copy.size() && std::isfinite(out) &&
           copy.find_first_of("xXnNiI") == std::string::npos;
}

bool isIdentifier(std::string_view s) {
    return !s.empty() && s.size() <= 96 && std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
}

struct LineParser {
    const std::string& file;
    int line;
    std::vector<std::string_view> w;
    std::string error;

    bool fail(const std::string& what) {
        error = file + ":" + std::to_string(line) + ": " + what;
        return false;
    }
    bool count(std::size_t n, const char* form) {
        if (w.size() == n) return true;
        return fail(std::string("expected '") + form + "'");
    }
    bool coordinate(std::size_t i, const char* what, float& out) {
        double v;
        if (!number(w[i], v) || std::fabs(v) > 1e7)
            return fail("bad number '" + std::string(w[i]) + "' for " + what);
        out = static_cast<float>(v);
        return true;
    }
    bool place(std::size_t first, Step& s) {
        if (w[first + 3] != "heading")
            return fail("expected 'heading' before the heading, found '" +
                        std::string(w[first + 3]) + "'");
        return coordinate(first, "x", s.x) && coordinate(first + 1, "y", s.y) &&
               coordinate(first + 2, "z", s.z) && coordinate(first + 4, "heading", s.heading);
    }
};

bool parseTime(std::string_view t, std::int64_t& ms) {
    double scale = 1000.0;
    if (t.size() > 2 && t.substr(t.size() - 2) == "ms") {
        scale = 1.0;
        t.remove_suffix(2);
    } else if (t.size() > 1 && t.back() == 's') {
        t.remove_suffix(1);
    }
    double v;
    if (!number(t, v) || v < 0 || v * scale > 1e12) return false;
    ms = static_cast<std::int64_t>(std::llround(v * scale));
    return true;
}

} // namespace

const std::vector<std::string>& knownControls() {
    static const std::vector<std::string> controls = {
        "INPUT_OPEN_SATCHEL_MENU", "INPUT_FRONTEND_NAV_UP",    "INPUT_FRONTEND_NAV_DOWN",
        "INPUT_FRONTEND_NAV_LEFT", "INPUT_FRONTEND_NAV_RIGHT", "INPUT_INTERACT_LOCKON",
        "INPUT_CONTEXT_A",         "INPUT_CONTEXT_B",          "INPUT_CONTEXT_X",
        "INPUT_CONTEXT_Y",         "INPUT_INTERACT_OPTION1",   "INPUT_SPRINT"};
    return controls;
}

bool isPromptName(std::string_view name) {
    return std::find(sim::promptNames.begin(), sim::promptNames.end(), name) !=
           sim::promptNames.end();
}

Parsed parse(std::string_view text, const std::string& file) {
    Parsed out;
    std::int64_t previous = 0;
    int lineNumber = 0;
    std::vector<std::string> horses;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        LineParser p{file, lineNumber, words(line), {}};
        if (p.w.empty()) continue;

        auto failed = [&] {
            out.error = p.error;
            out.scene.steps.clear();
            return out;
        };
        Step s;
        s.line = lineNumber;
        if (!parseTime(p.w[0], s.atMs)) {
            p.fail("bad time '" + std::string(p.w[0]) +
                   "' (expected seconds, like 12.5 or 12500ms)");
            return failed();
        }
        if (s.atMs < previous) {
            p.fail("time " + std::string(p.w[0]) + " goes back before the previous line's " +
                   std::to_string(previous) + "ms");
            return failed();
        }
        previous = s.atMs;
        if (p.w.size() < 2) {
            p.fail("expected an action after the time");
            return failed();
        }
        auto knownHorse = [&](std::string_view name) {
            return std::find(horses.begin(), horses.end(), name) != horses.end() ||
                   p.fail("unknown horse '" + std::string(name) +
                          "' (bring it in first with 'horse " + std::string(name) +
                          " X Y Z heading H')");
        };
        const std::string_view a = p.w[1];
        const std::string_view arg = p.w.size() > 2 ? p.w[2] : std::string_view{};
        bool ok = true;
        if (a == "stand" && arg == "still") {
            s.action = Action::StandStill;
            ok = p.count(3, "stand still");
        } else if (a == "stand") {
            s.action = Action::Stand;
            ok = p.count(7, "stand X Y Z heading H") && p.place(2, s);
        } else if (a == "wade") {
            s.action = arg == "in" ? Action::WadeIn : Action::WadeOut;
            s.subject = p.w.size() == 4 ? std::string(p.w[3]) : "player";
            ok = (p.w.size() == 3 || p.w.size() == 4 ||
                  p.fail("expected 'wade in|out' or 'wade in|out NAME'")) &&
                 (arg == "in" || arg == "out" || p.fail("expected 'wade in' or 'wade out'")) &&
                 (s.subject == "player" || knownHorse(s.subject));
        } else if (a == "walk") {
            s.action = Action::Walk;
            ok = p.count(2, "walk");
        } else if (a == "draw") {
            s.action = Action::Draw;
            ok = p.count(3, "draw WEAPON_NAME") &&
                 (isIdentifier(arg) || p.fail("bad weapon name '" + std::string(arg) + "'"));
            s.subject = arg;
        } else if (a == "holster") {
            s.action = Action::Holster;
            ok = p.count(2, "holster");
        } else if (a == "combat") {
            s.action = arg == "start" ? Action::CombatStart : Action::CombatStop;
            ok = p.count(3, "combat start' or 'combat stop") &&
                 (arg == "start" || arg == "stop" ||
                  p.fail("expected 'combat start' or 'combat stop'"));
        } else if (a == "keyboard") {
            s.action = arg == "on" ? Action::KeyboardOn : Action::KeyboardOff;
            ok =
                p.count(3, "keyboard on' or 'keyboard off") &&
                (arg == "on" || arg == "off" || p.fail("expected 'keyboard on' or 'keyboard off'"));
        } else if (a == "press" || a == "release") {
            s.action = a == "press" ? Action::Press : Action::Release;
            const auto& known = knownControls();
            ok = p.count(3, a == "press" ? "press CONTROL" : "release CONTROL") &&
                 (std::find(known.begin(), known.end(), arg) != known.end() ||
                  p.fail("unknown control '" + std::string(arg) + "'"));
            s.subject = arg;
        } else if (a == "key") {
            s.action = Action::Key;
            ok = p.count(3, "key KEY") && (keys::codeOf(arg, s.key) ||
                                           p.fail("bad key '" + std::string(arg) +
                                                  "' (expected a virtual-key code or a key name)"));
        } else if (a == "complete") {
            s.action = Action::Complete;
            ok = p.count(3, "complete PROMPT") &&
                 (isPromptName(arg) || p.fail("unknown prompt '" + std::string(arg) + "'"));
            s.subject = arg;
        } else if (a == "horse") {
            s.action = Action::Horse;
            ok = p.count(8, "horse NAME X Y Z heading H") &&
                 (arg.size() <= 32 || p.fail("horse name longer than 32 characters")) &&
                 ((arg != "player" && arg != "none") ||
                  p.fail("'" + std::string(arg) + "' cannot name a horse")) &&
                 p.place(3, s);
            s.subject = arg;
            if (ok) horses.emplace_back(arg);
        } else if (a == "target") {
            s.action = arg == "none" ? Action::TargetNone : Action::Target;
            ok = p.count(3, "target NAME' or 'target none") && (arg == "none" || knownHorse(arg));
            s.subject = arg;
        } else if (a == "scenario") {
            ok = p.count(4, "scenario player|NAME SCENARIO_NAME") &&
                 (arg == "player" || knownHorse(arg));
            if (ok) {
                s.subject = arg;
                s.name = p.w[3];
                s.action = s.name == "none" ? Action::ScenarioNone : Action::Scenario;
                ok = s.name == "none" || isIdentifier(s.name) ||
                     p.fail("bad scenario name '" + s.name + "'");
            }
        } else if (a == "core") {
            ok = p.count(5, "core player|NAME health|stamina VALUE") &&
                 (arg == "player" || knownHorse(arg));
            if (ok) {
                s.action = Action::Core;
                s.subject = arg;
                s.name = p.w[3];
                double v;
                ok = (s.name == "health" || s.name == "stamina" ||
                      p.fail("expected 'health' or 'stamina', found '" + s.name + "'")) &&
                     ((number(p.w[4], v) && v >= -1e9 && v <= 1e9) ||
                      p.fail("bad number '" + std::string(p.w[4]) + "' for the core value"));
                if (ok) s.value = static_cast<std::int32_t>(v);
            }
        } else if (a == "end") {
            s.action = Action::End;
            ok = p.count(2, "end");
        } else {
            p.fail("unknown action '" + std::string(a) +
                   "' (expected stand, wade, walk, draw, holster, combat, press, release, key, "
                   "keyboard, complete, horse, target, scenario, core or end)");
            ok = false;
        }
        if (!ok) return failed();
        for (std::size_t i = 1; i < p.w.size(); ++i) {
            if (i > 1) s.text += ' ';
            s.text += p.w[i];
        }
        out.scene.steps.push_back(std::move(s));
    }
    return out;
}

} // namespace scene
