// emberlane-sim: plays the plug-in in the stand-in game and shows what the player would see,
// or plays the same games with two builds and shows where they first differ.
#include "emberlane-sim/compare.h"
#include "emberlane-sim/picture.h"
#include "emberlane-sim/replay.h"
#include "emberlane-sim/scene.h"
#include "emberlane-sim/session.h"
#include "emberlane-sim/timeline.h"
#include "emberlane-sim/walkthrough.h"
#include "sim/errors.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#ifndef EMBERLANE_DIST_DIR
#define EMBERLANE_DIST_DIR "dist"
#endif
#ifndef EMBERLANE_SCENES_DIR
#define EMBERLANE_SCENES_DIR "scenes"
#endif

namespace {

constexpr const char* usageText =
    "usage: emberlane-sim [--scene FILE] [--ini FILE] [--dat FILE] [--frame-ms N] [--seed N]\n"
    "                     [--trace] [--svg FILE] [--quiet] [--plugin PATH] [--record FILE]\n"
    "       emberlane-sim --replay FILE [--plugin PATH] [--trace] [--svg FILE] [--quiet]\n"
    "       emberlane-sim --compare OTHER [--plugin PATH] [--scenes DIR] [--chaos N]\n"
    "                     [--passes N] [--ini FILE] [--dat FILE] [--timelines]\n"
    "With no --scene, plays the built-in walkthrough. Scene format: see emberlane-sim/scene.h.\n"
    "--quiet leaves out the timeline: the settings and the summary line stay.\n"
    "--compare plays the walkthrough, every scene file of DIR and N seeded chaos games of\n"
    "--passes passes with this build (--plugin, or the one built here) and with OTHER (the\n"
    "path of another Emberlane.so), and shows where they first differ, and for a scene what\n"
    "a player sees differ over the whole game (every line with --timelines). Exit status 0:\n"
    "every game identical; 1: a game differs; 2: bad input.\n"
    "--record FILE keeps the recording the plug-in makes of the play (RECORD_SESSION=1).\n"
    "--replay plays a recording (Emberlane.rec, docs/recording.md) with this build, its calls\n"
    "answered from the recording and checked against it. Exit status 0: every pass\n"
    "identical; 1: a pass differs; 2: not a recording, another format version, or damaged.\n";

std::optional<std::string> readFile(const std::string& path) {
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

struct Command {
    session::Settings settings;
    std::string scenePath, svgPath, iniPath;
    std::optional<std::string> datPath;
    std::optional<std::string> other; // --compare
    std::optional<std::string> scenesDir;
    std::optional<std::string> replayPath;
    long long chaosGames = 20, chaosPasses = 5000;
    bool timelines = false; // every line of the timelines that differ
};

int compareBuilds(const Command& c, const std::string& firstName, const scene::Scene& first) {
    namespace fs = std::filesystem;
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
    for (long long seed = 1; seed <= c.chaosGames; ++seed)
        games.push_back({"chaos seed " + std::to_string(seed),
                         {},
                         static_cast<std::uint64_t>(seed),
                         static_cast<int>(c.chaosPasses)});

    const std::string ours =
        c.settings.options.plugin.empty() ? sim::defaultPluginPath() : c.settings.options.plugin;
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
        std::printf("recording          %s, by Emberlane %s\n%s\n", c.replayPath->c_str(),
                    outcome.pluginVersion.c_str(),
                    timeline::settingsHeader(
                        replay::settingsFile(outcome.hotkey, outcome.destroyProp), "the recording")
                        .c_str());
        if (c.settings.printEvents) std::fputs(timeline::text(outcome.record).c_str(), stdout);
        std::printf("\n%s%s", timeline::summary(outcome.record).c_str(),
                    replay::report(*c.replayPath, outcome).c_str());
        if (!c.svgPath.empty()) {
            std::ofstream out(c.svgPath, std::ios::binary);
            out << picture::svg(outcome.record, *c.replayPath);
            if (!out) return fail("cannot write '" + c.svgPath + "'");
        }
        return outcome.status == Status::Identical ? 0 : outcome.status == Status::Differs ? 1 : 2;
    } catch (const sim::GameError& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "emberlane-sim: the game stopped: %s\n", e.what());
        return 1;
    }
}

} // namespace

int main(int argc, char** argv) {
    Command c;
    session::Settings& settings = c.settings;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long n = 0;
        if (arg == "--scene" && hasValue)
            c.scenePath = argv[++i];
        else if (arg == "--svg" && hasValue)
            c.svgPath = argv[++i];
        else if (arg == "--plugin" && hasValue)
            settings.options.plugin = argv[++i];
        else if (arg == "--compare" && hasValue)
            c.other = argv[++i];
        else if (arg == "--replay" && hasValue)
            c.replayPath = argv[++i];
        else if (arg == "--record" && hasValue)
            settings.options.keepRecording = argv[++i];
        else if (arg == "--scenes" && hasValue)
            c.scenesDir = argv[++i];
        else if (arg == "--chaos" && hasValue) {
            if (std::string_view(argv[++i]) == "0")
                c.chaosGames = 0;
            else if (!positive(argv[i], n) || n > 100000)
                return fail("--chaos takes 0 to 100000 games");
            else
                c.chaosGames = n;
        } else if (arg == "--passes" && hasValue) {
            if (!positive(argv[++i], n) || n > 10000000)
                return fail("--passes takes 1 to 10000000");
            c.chaosPasses = n;
        } else if (arg == "--trace")
            settings.trace = true;
        else if (arg == "--quiet")
            settings.printEvents = false;
        else if (arg == "--timelines")
            c.timelines = true;
        else if (arg == "--ini" && hasValue) {
            c.iniPath = argv[++i];
            settings.options.ini = readFile(c.iniPath);
            if (!settings.options.ini)
                return fail("cannot read the settings file '" + c.iniPath + "'");
        } else if (arg == "--dat" && hasValue) {
            c.datPath = argv[++i];
        } else if (arg == "--frame-ms" && hasValue) {
            if (!positive(argv[++i], n) || n > 10000) return fail("--frame-ms takes 1 to 10000");
            settings.options.frameMs = static_cast<int>(n);
        } else if (arg == "--seed" && hasValue) {
            if (!positive(argv[++i], n)) return fail("--seed takes a positive whole number");
            settings.options.seed = static_cast<std::uint64_t>(n);
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(usageText, stdout);
            return 0;
        } else {
            std::fputs(usageText, stderr);
            return 2;
        }
    }

    // The player's labels: the given file, or the English ones the release ships.
    if (c.datPath) {
        settings.options.dat = readFile(*c.datPath);
        if (!settings.options.dat) return fail("cannot read the label file '" + *c.datPath + "'");
    } else {
        settings.options.dat = readFile(std::string(EMBERLANE_DIST_DIR) + "/translations/en/Emberlane.dat");
    }

    if (c.replayPath) return replayRecording(c);
    if (!settings.options.keepRecording.empty())
        settings.options.ini = sim::withRecording(settings.options.ini);

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

    const std::string source = settings.options.keepRecording.empty() ? c.iniPath
                               : c.iniPath.empty()
                                   ? "--record's RECORD_SESSION=1"
                                   : c.iniPath + " with --record's RECORD_SESSION=1";
    std::printf("%s\n", timeline::settingsHeader(settings.options.ini, source).c_str());
    try {
        const session::Record record = session::play(parsed.scene, settings);
        // The timeline, when printed, stands apart from the summary.
        std::printf("%s%s", settings.printEvents ? "\n" : "", timeline::summary(record).c_str());
        if (!c.svgPath.empty()) {
            std::ofstream out(c.svgPath, std::ios::binary);
            out << picture::svg(record, name);
            if (!out) return fail("cannot write '" + c.svgPath + "'");
        }
    } catch (const sim::GameError& e) {
        fail(std::string("the game stopped: ") + e.what());
        return 1;
    }
    return 0;
}
