#include "emberlane-sim/scene.h"

#include "emberlane-sim/keys.h"
#include "loop/loop_state.h"
#include "prompts/labels.h"
#include "sim/sim.h"

#include <algorithm>
#include <array>
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

struct LineParser {
    const std::string& file;
    int line;
    std::vector<std::string_view> w;
    std::string error;
    std::vector<std::string>& horses; // brought in by the lines before

    std::string_view arg() const { return w.size() > 2 ? w[2] : std::string_view{}; }

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
    // A name from a list of known ones; an unknown one is refused with the closest of them.
    bool known(std::string_view name, const char* kind, const std::vector<std::string>& names) {
        if (std::find(names.begin(), names.end(), name) != names.end()) return true;
        const std::string nearest = closest(name, names);
        return fail("unknown " + std::string(kind) + " '" + std::string(name) + "' (" +
                    (nearest.empty() ? std::string("the names a scene can use are listed in "
                                                   "emberlane-sim/scene.h")
                                     : "did you mean " + nearest + "?") +
                    ")");
    }
    bool knownHorse(std::string_view name) {
        if (!horses.empty()) return known(name, "horse", horses);
        return fail("unknown horse '" + std::string(name) +
                    "' (no horse has come in yet: a 'horse NAME X Y Z heading H' line brings "
                    "one in)");
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

template <std::size_t N>
std::vector<std::string> listOf(const std::array<const char*, N>& names) {
    return {names.begin(), names.end()};
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The fewest letters to add, drop or change to make `a` into `b`, or into the start of
// `b` (a name cut short is near the whole name), case aside.
std::size_t distance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1), next(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        next[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j)
            next[j] = std::min({row[j] + 1, next[j - 1] + 1,
                                row[j - 1] + (upper(a[i - 1]) == upper(b[j - 1]) ? 0 : 1)});
        std::swap(row, next);
    }
    // A start of the name counts one more than the whole of it.
    std::size_t best = row[b.size()];
    for (std::size_t j = 0; j < b.size(); ++j) best = std::min(best, row[j] + 1);
    return best;
}

// The names of the tables, read once.
const std::vector<std::string>& controlNames() {
    static const std::vector<std::string> names = namesOf(controls());
    return names;
}
const std::vector<std::string>& promptNamesOf() {
    static const std::vector<std::string> names = namesOf(prompts());
    return names;
}
const std::vector<std::string>& scenarioNamesOf(bool forPlayer) {
    static const std::vector<std::string> player = namesOf(playerScenarios()),
                                          horse = namesOf(horseScenarios());
    return forPlayer ? player : horse;
}
const std::vector<std::string>& weaponNames() {
    static const std::vector<std::string> names = namesOf(weapons());
    return names;
}
const std::vector<std::string>& languageCodes() {
    static const std::vector<std::string> codes = languages();
    return codes;
}

// Each kind of line, by its action's word: what follows the word, into the step.
bool standLine(LineParser& p, Step& s) {
    if (p.arg() == "still") {
        s.action = Action::StandStill;
        return p.count(3, "stand still");
    }
    s.action = Action::Stand;
    return p.count(7, "stand X Y Z heading H") && p.place(2, s);
}

bool wadeLine(LineParser& p, Step& s) {
    s.action = p.arg() == "in" ? Action::WadeIn : Action::WadeOut;
    s.subject = p.w.size() == 4 ? std::string(p.w[3]) : "player";
    return (p.w.size() == 3 || p.w.size() == 4 ||
            p.fail("expected 'wade in|out' or 'wade in|out NAME'")) &&
           (p.arg() == "in" || p.arg() == "out" || p.fail("expected 'wade in' or 'wade out'")) &&
           (s.subject == "player" || p.knownHorse(s.subject));
}

bool walkLine(LineParser& p, Step& s) {
    s.action = Action::Walk;
    return p.count(2, "walk");
}

bool drawLine(LineParser& p, Step& s) {
    s.action = Action::Draw;
    s.subject = p.arg();
    return p.count(3, "draw WEAPON_NAME") && p.known(p.arg(), "weapon", weaponNames());
}

bool holsterLine(LineParser& p, Step& s) {
    s.action = Action::Holster;
    return p.count(2, "holster");
}

// A line of two ways, such as 'combat start' and 'combat stop'.
bool eitherWay(LineParser& p, Step& s, std::pair<const char*, Action> one,
               std::pair<const char*, Action> other) {
    s.action = p.arg() == one.first ? one.second : other.second;
    const std::string word(p.w[1]);
    const std::string form = word + " " + one.first + "' or '" + word + " " + other.first;
    return p.count(3, form.c_str()) &&
           (p.arg() == one.first || p.arg() == other.first || p.fail("expected '" + form + "'"));
}

bool combatLine(LineParser& p, Step& s) {
    return eitherWay(p, s, {"start", Action::CombatStart}, {"stop", Action::CombatStop});
}

bool controlLine(LineParser& p, Step& s) {
    const bool press = p.w[1] == "press";
    s.action = press ? Action::Press : Action::Release;
    s.subject = p.arg();
    return p.count(3, press ? "press CONTROL" : "release CONTROL") &&
           p.known(p.arg(), "control", controlNames());
}

bool keyLine(LineParser& p, Step& s) {
    s.action = Action::Key;
    s.hotkey = p.arg() == "hotkey";
    return p.count(3, "key KEY") &&
           (s.hotkey || keys::fromText(p.arg(), s.key) ||
            p.fail("bad key '" + std::string(p.arg()) +
                   "' (expected a virtual-key code, a key name such as F5 or Ctrl+Y, or hotkey)"));
}

bool keyboardLine(LineParser& p, Step& s) {
    return eitherWay(p, s, {"on", Action::KeyboardOn}, {"off", Action::KeyboardOff});
}

bool completeLine(LineParser& p, Step& s) {
    s.action = Action::Complete;
    s.subject = p.arg();
    return p.count(3, "complete PROMPT") && p.known(p.arg(), "prompt", promptNamesOf());
}

bool horseLine(LineParser& p, Step& s) {
    s.action = Action::Horse;
    s.subject = p.arg();
    const bool ok = p.count(8, "horse NAME X Y Z heading H") &&
                    (p.arg().size() <= 32 || p.fail("horse name longer than 32 characters")) &&
                    ((p.arg() != "player" && p.arg() != "none") ||
                     p.fail("'" + std::string(p.arg()) + "' cannot name a horse")) &&
                    p.place(3, s);
    if (ok) p.horses.emplace_back(p.arg());
    return ok;
}

bool targetLine(LineParser& p, Step& s) {
    s.action = p.arg() == "none" ? Action::TargetNone : Action::Target;
    s.subject = p.arg();
    return p.count(3, "target NAME' or 'target none") &&
           (p.arg() == "none" || p.knownHorse(p.arg()));
}

bool scenarioLine(LineParser& p, Step& s) {
    if (!p.count(4, "scenario player|NAME SCENARIO_NAME") ||
        !(p.arg() == "player" || p.knownHorse(p.arg())))
        return false;
    s.subject = p.arg();
    s.name = p.w[3];
    s.action = s.name == "none" ? Action::ScenarioNone : Action::Scenario;
    // A horse's scenario on the player, or the player's on a horse, is a slip.
    const bool forPlayer = p.arg() == "player";
    const auto& own = scenarioNamesOf(forPlayer);
    const auto& other = scenarioNamesOf(!forPlayer);
    if (s.name == "none" || std::find(own.begin(), own.end(), s.name) != own.end()) return true;
    if (std::find(other.begin(), other.end(), s.name) != other.end())
        return p.fail("'" + s.name + "' is " +
                      (forPlayer ? "a horse's scenario, not the player's"
                                 : "the player's scenario, not a horse's"));
    return p.known(s.name, "scenario", own);
}

bool coreLine(LineParser& p, Step& s) {
    if (!p.count(5, "core player|NAME health|stamina VALUE") ||
        !(p.arg() == "player" || p.knownHorse(p.arg())))
        return false;
    s.action = Action::Core;
    s.subject = p.arg();
    s.name = p.w[3];
    double v = 0;
    const bool ok = (s.name == "health" || s.name == "stamina" ||
                     p.fail("expected 'health' or 'stamina', found '" + s.name + "'")) &&
                    ((number(p.w[4], v) && v >= -1e9 && v <= 1e9) ||
                     p.fail("bad number '" + std::string(p.w[4]) + "' for the core value"));
    if (ok) s.value = static_cast<std::int32_t>(v);
    return ok;
}

bool languageLine(LineParser& p, Step& s) {
    const std::vector<std::string>& codes = languageCodes();
    s.action = Action::Language;
    s.value =
        static_cast<std::int32_t>(std::find(codes.begin(), codes.end(), p.arg()) - codes.begin());
    return p.count(3, "language CODE") && p.known(p.arg(), "language", codes);
}

bool loadLine(LineParser& p, Step& s) {
    s.action = Action::Load;
    double seconds = 10; // about what the game's loading screen takes
    const bool ok =
        (p.w.size() <= 3 || p.fail("expected 'load' or 'load SECONDS'")) &&
        (p.w.size() == 2 || (number(p.arg(), seconds) && seconds >= 0 && seconds <= 600) ||
         p.fail("bad loading time '" + std::string(p.arg()) + "' (expected 0 to 600 seconds)"));
    s.value = static_cast<std::int32_t>(seconds * 1000);
    return ok;
}

bool endLine(LineParser& p, Step& s) {
    s.action = Action::End;
    return p.count(2, "end");
}

// The kinds of line, in the order an unknown action's message lists them.
constexpr std::pair<std::string_view, bool (*)(LineParser&, Step&)> lineKinds[] = {
    {"stand", standLine},       {"wade", wadeLine},         {"walk", walkLine},
    {"draw", drawLine},         {"holster", holsterLine},   {"combat", combatLine},
    {"press", controlLine},     {"release", controlLine},   {"key", keyLine},
    {"keyboard", keyboardLine}, {"complete", completeLine}, {"horse", horseLine},
    {"target", targetLine},     {"scenario", scenarioLine}, {"core", coreLine},
    {"language", languageLine}, {"load", loadLine},         {"end", endLine},
};

std::string actionWords() {
    std::string list;
    for (std::size_t i = 0; i < std::size(lineKinds); ++i) {
        if (i) list += i + 1 == std::size(lineKinds) ? " or " : ", ";
        list += lineKinds[i].first;
    }
    return list;
}

// One line: its time, no earlier than the line before's, then its action.
bool parseStep(LineParser& p, Step& s, std::int64_t previous) {
    if (!parseTime(p.w[0], s.atMs))
        return p.fail("bad time '" + std::string(p.w[0]) +
                      "' (expected seconds, like 12.5 or 12500ms)");
    if (s.atMs < previous)
        return p.fail("time " + std::string(p.w[0]) + " goes back before the previous line's " +
                      std::to_string(previous) + "ms");
    if (p.w.size() < 2) return p.fail("expected an action after the time");
    for (const auto& [word, parseLine] : lineKinds)
        if (p.w[1] == word) return parseLine(p, s);
    return p.fail("unknown action '" + std::string(p.w[1]) + "' (expected " + actionWords() + ")");
}

} // namespace

const Table& controls() {
    static const Table table = {
        {"released, offers the \"Rest\" prompt for two seconds (with a pad)",
         {"INPUT_OPEN_SATCHEL_MENU"}},
        {"pressed, ends the player's scenario; released, the prop of a prompt's activity goes",
         listOf(navControlNames)},
        {"released while the player rests, sends a horse within 20 metres to rest",
         {"INPUT_INTERACT_LOCKON"}},
        {"the prompts' buttons: pressed alone they do nothing here ('complete' takes a prompt)",
         {"INPUT_CONTEXT_A", "INPUT_CONTEXT_B", "INPUT_CONTEXT_X", "INPUT_CONTEXT_Y",
          "INPUT_INTERACT_OPTION1", "INPUT_SPRINT"}},
    };
    return table;
}

const Table& prompts() {
    static const Table table = {{"the plug-in's ten, each while it is on screen",
                                 {sim::promptNames.begin(), sim::promptNames.end()}}};
    return table;
}

const Table& playerScenarios() {
    static const Table table = {
        {"rest: while in one, the horse's rest command and the refills of horse and rider",
         listOf(restScenarioNames)},
        {"water: the face-wash effect, and the drink's stamina, after fifteen seconds",
         {"WORLD_HUMAN_WASH_FACE_BUCKET_GROUND_NO_BUCKET",
          "WORLD_HUMAN_BUCKET_DRINK_GROUND_NO_BUCKET"}},
        {"smoking: started by the smoking choice",
         {"WORLD_HUMAN_SMOKE", "WORLD_HUMAN_SMOKE_CIGAR"}},
        {"any other: closes the rest menu and hides the water prompts, as every scenario does",
         {"WORLD_HUMAN_STAND_WAITING"}},
    };
    return table;
}

const Table& horseScenarios() {
    static const Table table = {
        {"drinking: the horse's stamina, and the resting rider's",
         {"WORLD_ANIMAL_HORSE_DRINK_GROUND"}},
        {"resting: the horse's stamina", {"WORLD_ANIMAL_HORSE_RESTING"}},
        {"grazing: the horse's health, and the grazing bonus", listOf(horseGrazeNames)},
    };
    return table;
}

const Table& weapons() {
    static const Table table = {
        {"drawn, no water prompt is offered",
         {"WEAPON_REVOLVER_CATTLEMAN", "WEAPON_REVOLVER_SCHOFIELD", "WEAPON_REVOLVER_DOUBLEACTION",
          "WEAPON_PISTOL_VOLCANIC", "WEAPON_REPEATER_CARBINE", "WEAPON_REPEATER_WINCHESTER",
          "WEAPON_RIFLE_SPRINGFIELD", "WEAPON_SHOTGUN_PUMP", "WEAPON_BOW", "WEAPON_MELEE_KNIFE",
          "WEAPON_LASSO"}},
    };
    return table;
}

std::vector<std::string> languages() {
    std::vector<std::string> codes;
    codes.reserve(builtInLabelSets.size());
    for (const BuiltInLabels& set : builtInLabelSets) codes.emplace_back(set.language);
    return codes;
}

std::vector<std::string> namesOf(const Table& table) {
    std::vector<std::string> names;
    for (const Group& g : table) names.insert(names.end(), g.names.begin(), g.names.end());
    return names;
}

std::string closest(std::string_view name, const std::vector<std::string>& known) {
    std::string best;
    std::size_t bestDistance = std::max<std::size_t>(2, name.size() / 3) + 1;
    for (const std::string& k : known)
        if (const std::size_t d = distance(name, k); d < bestDistance) {
            best = k;
            bestDistance = d;
        }
    return best;
}

std::string documentedNames() {
    const std::pair<const char*, const Table*> lists[] = {
        {"Controls, to press and release:", &controls()},
        {"Prompts, to complete:", &prompts()},
        {"The player's scenarios (scenario player NAME):", &playerScenarios()},
        {"A horse's scenarios (scenario HORSE NAME):", &horseScenarios()},
        {"Weapons, to draw:", &weapons()}};
    std::string out;
    for (const auto& [heading, table] : lists) {
        out += std::string("// ") + heading + "\n";
        for (const Group& g : *table) {
            out += "//   " + g.what + ":\n";
            std::string line = "//    ";
            for (const std::string& name : g.names) {
                if (line.size() + 1 + name.size() > 100) {
                    out += line + "\n";
                    line = "//    ";
                }
                line += " " + name;
            }
            out += line + "\n";
        }
    }
    return out;
}

Parsed parse(std::string_view text, const std::string& file, int firstLine) {
    Parsed out;
    out.scene.file = file;
    std::int64_t previous = 0;
    int lineNumber = firstLine - 1;
    std::vector<std::string> horses;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (const std::size_t hash = line.find('#'); hash != std::string_view::npos)
            line = line.substr(0, hash);
        LineParser p{file, lineNumber, words(line), {}, horses};
        if (p.w.empty()) continue;
        Step s;
        s.line = lineNumber;
        if (!parseStep(p, s, previous)) {
            out.error = p.error;
            out.scene.steps.clear();
            return out;
        }
        previous = s.atMs;
        for (std::size_t i = 1; i < p.w.size(); ++i) {
            if (i > 1) s.text += ' ';
            s.text += p.w[i];
        }
        out.scene.steps.push_back(std::move(s));
    }
    return out;
}

} // namespace scene
