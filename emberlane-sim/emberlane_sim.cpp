// emberlane-sim: plays the plug-in in the stand-in game and shows what the player would see,
// plays the same games with two builds and shows where they first differ, or replays a
// recording from the game.
#include "emberlane-sim/compare.h"
#include "emberlane-sim/keys.h"
#include "emberlane-sim/labels_file.h"
#include "emberlane-sim/picture.h"
#include "emberlane-sim/replay.h"
#include "emberlane-sim/scene.h"
#include "emberlane-sim/session.h"
#include "emberlane-sim/settings_file.h"
#include "emberlane-sim/timeline.h"
#include "emberlane-sim/walkthrough.h"
#include "sim/errors.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#ifndef EMBERLANE_SCENES_DIR
#define EMBERLANE_SCENES_DIR "scenes"
#endif

namespace {

namespace fs = std::filesystem;

constexpr const char* usageText =
    "usage: emberlane-sim [--scene FILE] [--ini FILE] [--dat FILE] [--game-language CODE]\n"
    "                     [--frame-ms N] [--seed N] [--trace] [--svg FILE] [--quiet]\n"
    "                     [--plugin PATH] [--record FILE]\n"
    "       emberlane-sim --replay FILE [--plugin PATH] [--trace] [--svg FILE] [--quiet]\n"
    "       emberlane-sim --compare OTHER [--plugin PATH] [--scenes DIR] [--chaos N]\n"
    "                     [--passes N] [--ini FILE] [--dat FILE] [--game-language CODE]\n"
    "                     [--timelines]\n"
    "With no --scene, plays the built-in walkthrough. Scene format: see emberlane-sim/scene.h.\n"
    "The plug-in gets no Emberlane.dat unless --dat names one: its prompts then speak the\n"
    "game's language, --game-language (en, fr, de, it, es, pt-BR, pl, ru, ko, zh-Hant, ja,\n"
    "es-MX, zh-Hans; en unless told).\n"
    "--quiet leaves out the timeline: the settings and the summary line stay.\n"
    "--compare plays the walkthrough, every scene file of DIR and N seeded chaos games of\n"
    "--passes passes with this build (--plugin, or the one built here) and with OTHER (the\n"
    "path of another Emberlane.so), and shows where they first differ, and for a scene what\n"
    "a player sees differ over the whole game (every line with --timelines). Exit status 0:\n"
    "every game identical; 1: a game differs; 2: bad input.\n"
    "--record FILE keeps the recording the plug-in makes of the play (RECORD_SESSION=1).\n"
    "--replay plays a recording (Emberlane.rec, docs/recording.md) with this build, its calls\n"
    "answered from the recording and checked against it. Exit status 0: every pass\n"
    "identical; 1: a pass differs; 2: not a recording, another format version, damaged, or\n"
    "too short to hold a whole pass.\n";

// The contents of a file, or why it cannot be read: a folder is not a file.
std::optional<std::string> readFile(const std::string& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool positive(const char* text, long long& out) {
    const char* end = text + std::char_traits<char>::length(text);
    const auto r = std::from_chars(text, end, out);
    return r.ec == std::errc{} && r.ptr == end && out > 0;
}

// What was printed comes first, so an error stands after the output it ends, also in a pipe.
int fail(const std::string& what) {
    std::fflush(stdout);
    std::fprintf(stderr, "emberlane-sim: %s\n", what.c_str());
    return 2;
}

// The version a plug-in module carries: the .asi's version resource, whose texts are UTF-16
// ("ProductVersion", then the version after the padding that aligns it), or the mark the
// plug-in keeps for this line where it has no resources. Empty when it carries neither.
std::string versionOf(const std::string& module) {
    std::string key;
    for (const char c : std::string_view("ProductVersion")) key.append({c, '\0'});
    if (std::size_t at = module.find(key.append(2, '\0')); at != std::string::npos) {
        at += key.size();
        while (at + 1 < module.size() && module[at] == '\0' && module[at + 1] == '\0') at += 2;
        std::string version;
        for (; at + 1 < module.size() && module[at + 1] == '\0' && module[at] > ' ' &&
               module[at] < 0x7F && version.size() < 32;
             at += 2)
            version += module[at];
        if (!version.empty()) return version;
    }
    constexpr std::string_view mark = "Emberlane version ";
    if (const std::size_t at = module.find(mark); at != std::string::npos)
        return std::string(module.c_str() + at + mark.size());
    return "";
}

// The plug-in module a run loads, with the version it carries and the date of its file, so
// that a build left behind by a failed one is seen for what it is. The date is the file's: a
// copy is dated when it was copied.
std::string pluginLine(const std::string& path) {
    const std::string absolute = fs::absolute(path).string();
    const std::optional<std::string> bytes = readFile(path);
    if (!bytes) return "plug-in            " + absolute + " (not there)\n";
    const std::string version = versionOf(*bytes);
    std::error_code error;
    const auto written = fs::last_write_time(path, error);
    std::string dated;
    if (!error) {
        const std::time_t t =
            std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
        char buffer[32];
        if (std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M UTC", std::gmtime(&t)))
            dated = ", file dated " + std::string(buffer);
    }
    return "plug-in            " + absolute + " (" +
           (version.empty() ? "of an unknown version" : "Emberlane " + version) + dated + ")\n";
}

struct Command {
    session::Settings settings;
    std::string scenePath, svgPath, iniPath;
    std::optional<std::string> datPath;
    std::optional<std::string> other; // --compare
    std::optional<std::string> scenesDir;
    std::optional<std::string> replayPath;
    std::optional<std::string> recordPath;
    long long chaosGames = 20, chaosPasses = 5000;
    bool timelines = false;         // every line of the timelines that differ
    std::vector<std::string> given; // the options, as named
};

std::string ourPlugin(const Command& c) {
    return c.settings.options.plugin.empty() ? sim::defaultPluginPath() : c.settings.options.plugin;
}

// The plug-in beside this program, where a copy of the simulator is handed out with the one
// it plays; none beside it: the one it was built with.
std::string pluginBeside(const char* program) {
    const fs::path beside =
        fs::path(program).parent_path() / fs::path(sim::defaultPluginPath()).filename();
    std::error_code error;
    if (fs::path(program).has_parent_path() && fs::is_regular_file(beside, error))
        return beside.string();
    return "";
}

// A scene that presses the hotkey, with settings that turn it off, asks for what no keyboard
// can do: refused before it is played, with the settings' reason.
std::string pressesNoKey(const scene::Scene& scene, const std::string& name,
                         const std::optional<std::string>& ini) {
    if (keys::keyboardSends(settings_file::read(ini).hotkey.code)) return "";
    for (const scene::Step& step : scene.steps)
        if (step.action == scene::Action::Key && step.hotkey)
            return (name == "walkthrough" ? "the walkthrough" : name) + " presses the hotkey at " +
                   timeline::clock(step.atMs) +
                   ", and the settings turn it off: " + settings_file::hotkeyLine(ini);
    return "";
}

int writeSvg(const std::string& path, const observer::History& history, const std::string& title) {
    std::ofstream out(path, std::ios::binary);
    out << picture::svg(history, title);
    return out ? 0 : fail("cannot write '" + path + "'");
}

int compareBuilds(const Command& c, const std::string& firstName, const scene::Scene& first) {
    std::vector<compare::Game> games;
    games.push_back({firstName, first, 0, 0});

    const fs::path dir = c.scenesDir.value_or(EMBERLANE_SCENES_DIR);
    std::error_code error;
    if (!fs::is_directory(dir, error)) {
        if (c.scenesDir) return fail("no scenes folder '" + dir.string() + "'");
    } else {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(dir))
            if (entry.path().extension() == ".scene") files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            const std::string name = (dir.filename() / file.filename()).generic_string();
            const auto text = readFile(file.string());
            if (!text) return fail("cannot open the scene file '" + file.string() + "'");
            const scene::Parsed parsed = scene::parse(*text, name);
            if (!parsed.error.empty()) return fail(parsed.error);
            games.push_back({name, parsed.scene, 0, 0});
        }
    }
    for (const compare::Game& game : games)
        if (const std::string why = pressesNoKey(game.scene, game.name, c.settings.options.ini);
            !why.empty())
            return fail(why);
    for (long long seed = 1; seed <= c.chaosGames; ++seed)
        games.push_back({"chaos seed " + std::to_string(seed),
                         {},
                         static_cast<std::uint64_t>(seed),
                         static_cast<int>(c.chaosPasses)});

    const std::string ours = ourPlugin(c);
    for (const std::string& build : {ours, *c.other})
        if (!fs::is_regular_file(build, error)) return fail("no plug-in at '" + build + "'");
    std::printf("this build:      %s\nthe other build: %s\n\n", ours.c_str(), c.other->c_str());
    // Identical games as they come; those that differ at the end, alike ones together.
    std::vector<compare::Differing> differing;
    for (const compare::Game& game : games) {
        try {
            const compare::Outcome outcome =
                compare::compareGame(game, ours, *c.other, c.settings.options);
            if (!outcome.divergence) {
                std::fputs(compare::report(game, outcome).c_str(), stdout);
                std::fflush(stdout);
                continue;
            }
            differing.push_back({game, *outcome.divergence, {}});
            if (!game.chaosSeed)
                differing.back().timeline =
                    compare::timelineDifferences(game, ours, *c.other, c.settings.options);
        } catch (const sim::GameError& e) {
            return fail(e.what());
        }
    }
    if (differing.empty()) {
        std::printf("\n%zu games: every one identical\n", games.size());
        return 0;
    }
    std::vector<std::string> names;
    names.reserve(differing.size());
    for (const compare::Differing& d : differing) names.push_back(d.game.name);
    std::printf("%s\n%zu games: %zu differ: %s\n",
                compare::groupedReport(differing, c.timelines).c_str(), games.size(),
                differing.size(), compare::listOf(names).c_str());
    return 1;
}

int replayRecording(const Command& c) {
    try {
        const replay::Outcome outcome = replay::run(*c.replayPath, c.settings);
        using Status = replay::Outcome::Status;
        if (outcome.status == Status::BadFile && outcome.ending.empty()) {
            std::string why = replay::report(*c.replayPath, outcome);
            why.pop_back();
            return fail(why);
        }
        std::printf(
            "recording          %s, by Emberlane %s\n%s%s%s\n", c.replayPath->c_str(),
            outcome.pluginVersion.c_str(), pluginLine(ourPlugin(c)).c_str(),
            settings_file::header(
                sim::withRecording(replay::settingsFile(outcome.hotkey, outcome.destroyProp)),
                "the recording")
                .c_str(),
            outcome.labelsFromFile
                ? "labels             the recording's Emberlane.dat\n"
                : "labels             built in, in the game's language (no Emberlane.dat)\n");
        if (c.settings.printEvents) std::fputs(timeline::text(outcome.history).c_str(), stdout);
        std::printf("\n%s%s", timeline::summary(outcome.history).c_str(),
                    replay::report(*c.replayPath, outcome).c_str());
        if (!c.svgPath.empty() &&
            writeSvg(c.svgPath, outcome.history,
                     *c.replayPath + ", a recording, replayed with this build") != 0)
            return 2;
        switch (outcome.status) {
        case Status::Identical:
            return 0;
        case Status::Differs:
            return 1;
        case Status::BadFile:
        case Status::TooShort:
            return 2;
        }
        return 2;
    } catch (const sim::GameError& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "emberlane-sim: the game stopped: %s\n", e.what());
        return 1;
    }
}

// What stopped the game, in a person's words: a step of the walkthrough by its time and text,
// not by the line of the simulator's source that holds it.
std::string stoppedAt(const std::string& error, const scene::Scene& scene,
                      const std::string& name) {
    if (name != "walkthrough") return error;
    for (const scene::Step& step : scene.steps) {
        const std::string at = scene.file + ":" + std::to_string(step.line) + ": ";
        if (error.rfind(at, 0) == 0)
            return "the walkthrough's '" + step.text + "' at " + timeline::clock(step.atMs) + ": " +
                   error.substr(at.size());
    }
    return error;
}

// A path the recording can be kept at, or why not: checked before the game is played.
std::string cannotWrite(const std::string& path) {
    std::error_code error;
    if (fs::is_directory(path, error)) return "it is a folder";
    const bool existed = fs::exists(path, error);
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) return std::strerror(errno);
    std::fclose(file);
    if (!existed) fs::remove(path, error);
    return "";
}

int play(const Command& c, const std::string& name, const scene::Scene& scene) {
    const session::Settings& settings = c.settings;
    // The language the plug-in finds when it asks, at its start: a scene's line at the very
    // start sets it before.
    std::int32_t language = settings.options.language;
    for (const scene::Step& step : scene.steps)
        if (step.atMs == 0 && step.action == scene::Action::Language) language = step.value;
    const bool recording = !settings.options.keepRecording.empty();
    const std::string source = !recording ? c.iniPath
                               : c.iniPath.empty()
                                   ? "--record's RECORD_SESSION=1"
                                   : c.iniPath + " with --record's RECORD_SESSION=1";
    std::printf("%s%s%s\n", pluginLine(ourPlugin(c)).c_str(),
                settings_file::header(settings.options.ini, source).c_str(),
                c.datPath ? labels_file::header(*settings.options.dat, *c.datPath).c_str()
                          : ("labels             built in, in the game's language (" +
                             scene::languages()[static_cast<std::size_t>(language)] + ")\n")
                                .c_str());
    if (const std::string why = pressesNoKey(scene, name, settings.options.ini); !why.empty())
        return fail(why);
    try {
        const observer::History history = session::play(scene, settings);
        // The timeline, when printed, stands apart from the summary.
        std::printf("%s%s", settings.printEvents ? "\n" : "", timeline::summary(history).c_str());
        if (recording && !fs::exists(settings.options.keepRecording))
            return fail("the plug-in left no recording to keep at '" +
                        settings.options.keepRecording + "'");
        if (!c.svgPath.empty() && writeSvg(c.svgPath, history, name + " in the stand-in game") != 0)
            return 2;
    } catch (const sim::GameError& e) {
        fail("the game stopped: " + stoppedAt(e.what(), scene, name));
        return 1;
    }
    return 0;
}

// The options that take a value, each with what it does with it: "" when it takes the value,
// else why it is refused.
using Take = std::string (*)(Command&, const char* value);

// A file's contents into the settings, or why not.
std::string readInto(std::optional<std::string>& contents, const std::string& path,
                     const char* what) {
    contents = readFile(path);
    return contents ? "" : std::string("cannot read the ") + what + " '" + path + "'";
}

std::string takeChaos(Command& c, const char* value) {
    long long n = 0;
    if (std::string_view(value) == "0")
        c.chaosGames = 0;
    else if (!positive(value, n) || n > 100000)
        return "--chaos takes 0 to 100000 games";
    else
        c.chaosGames = n;
    return "";
}

std::string takeLanguage(Command& c, const char* value) {
    const std::vector<std::string> codes = scene::languages();
    const auto code = std::find(codes.begin(), codes.end(), value);
    if (code == codes.end())
        return std::string("--game-language takes one of the game's languages, not '") + value +
               "': en, fr, de, it, es, pt-BR, pl, ru, ko, zh-Hant, ja, es-MX, zh-Hans";
    c.settings.options.language = static_cast<std::int32_t>(code - codes.begin());
    return "";
}

constexpr std::pair<std::string_view, Take> valued[] = {
    {"--scene", [](Command& c, const char* v) { return (c.scenePath = v), std::string(); }},
    {"--svg", [](Command& c, const char* v) { return (c.svgPath = v), std::string(); }},
    {"--plugin",
     [](Command& c, const char* v) { return (c.settings.options.plugin = v), std::string(); }},
    {"--compare", [](Command& c, const char* v) { return (c.other = v), std::string(); }},
    {"--replay", [](Command& c, const char* v) { return (c.replayPath = v), std::string(); }},
    {"--record", [](Command& c, const char* v) { return (c.recordPath = v), std::string(); }},
    {"--scenes", [](Command& c, const char* v) { return (c.scenesDir = v), std::string(); }},
    {"--chaos", takeChaos},
    {"--passes",
     [](Command& c, const char* v) {
         long long n = 0;
         if (!positive(v, n) || n > 10000000) return std::string("--passes takes 1 to 10000000");
         c.chaosPasses = n;
         return std::string();
     }},
    {"--ini",
     [](Command& c, const char* v) {
         c.iniPath = v;
         return readInto(c.settings.options.ini, c.iniPath, "settings file");
     }},
    {"--dat",
     [](Command& c, const char* v) {
         c.datPath = v;
         return readInto(c.settings.options.dat, *c.datPath, "label file");
     }},
    {"--game-language", takeLanguage},
    {"--frame-ms",
     [](Command& c, const char* v) {
         long long n = 0;
         if (!positive(v, n) || n > 10000) return std::string("--frame-ms takes 1 to 10000");
         c.settings.options.frameMs = static_cast<int>(n);
         return std::string();
     }},
    {"--seed",
     [](Command& c, const char* v) {
         long long n = 0;
         if (!positive(v, n)) return std::string("--seed takes a positive whole number");
         c.settings.options.seed = static_cast<std::uint64_t>(n);
         return std::string();
     }},
};

// The command line into the command; an exit status when the program ends there (a refusal,
// --help).
std::optional<int> readOptions(int argc, char** argv, Command& c) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        c.given.push_back(arg);
        const auto taking = std::find_if(std::begin(valued), std::end(valued),
                                         [&](const auto& option) { return option.first == arg; });
        if (taking != std::end(valued) && i + 1 < argc) {
            if (const std::string why = taking->second(c, argv[++i]); !why.empty())
                return fail(why);
        } else if (arg == "--trace") {
            c.settings.trace = true;
        } else if (arg == "--quiet") {
            c.settings.printEvents = false;
        } else if (arg == "--timelines") {
            c.timelines = true;
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(usageText, stdout);
            return 0;
        } else {
            std::fputs(usageText, stderr);
            return fail(taking != std::end(valued) ? arg + " needs a value"
                                                   : "unknown option '" + arg + "'");
        }
    }
    return std::nullopt;
}

// Options that would do nothing together are refused, not ignored: why, or "".
std::string refusedTogether(const Command& c) {
    if (c.replayPath && (!c.scenePath.empty() || c.recordPath || c.other))
        return "--replay plays a recording: it takes no --scene, --record or --compare";
    constexpr std::pair<std::string_view, std::string_view> recordingHolds[] = {
        {"--ini", "the settings"},
        {"--dat", "the labels"},
        {"--game-language", "the game's language"},
        {"--frame-ms", "the frame times"},
        {"--seed", "every answer of the game"}};
    for (const auto& [option, what] : recordingHolds)
        if (c.replayPath && std::find(c.given.begin(), c.given.end(), option) != c.given.end())
            return "--replay takes no " + std::string(option) + ": the recording holds " +
                   std::string(what);
    if (c.other && c.recordPath) return "--compare keeps no recording: it takes no --record";
    return "";
}

// The walkthrough, or the scene --scene names, played or compared.
int playOrCompare(Command& c) {
    if (c.recordPath) {
        if (const std::string why = cannotWrite(*c.recordPath); !why.empty())
            return fail("cannot keep the recording at '" + *c.recordPath + "': " + why);
        c.settings.options.keepRecording = fs::absolute(*c.recordPath).string();
        c.settings.options.ini = sim::withRecording(c.settings.options.ini);
    }
    std::string text = walkthrough::scene;
    std::string name = "walkthrough", file = walkthrough::file;
    int firstLine = walkthrough::firstLine;
    if (!c.scenePath.empty()) {
        const auto contents = readFile(c.scenePath);
        if (!contents) return fail("cannot open the scene file '" + c.scenePath + "'");
        text = *contents;
        name = file = c.scenePath;
        firstLine = 1;
    }
    const scene::Parsed parsed = scene::parse(text, file, firstLine);
    if (!parsed.error.empty()) return fail(parsed.error);
    if (c.other) return compareBuilds(c, name, parsed.scene);
    return play(c, name, parsed.scene);
}

} // namespace

int main(int argc, char** argv) {
    Command c;
    if (const std::optional<int> stop = readOptions(argc, argv, c)) return *stop;
    if (const std::string why = refusedTogether(c); !why.empty()) return fail(why);
    if (c.settings.options.plugin.empty()) c.settings.options.plugin = pluginBeside(argv[0]);
    if (!c.other && !fs::is_regular_file(ourPlugin(c)))
        return fail("no plug-in at '" + ourPlugin(c) + "'");
    if (c.replayPath) return replayRecording(c);
    return playOrCompare(c);
}
