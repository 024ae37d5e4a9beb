// emberlane-sim: plays the plug-in in the stand-in game and shows what the player would see.
#include "sim/errors.h"
#include "tools/picture.h"
#include "tools/scene.h"
#include "tools/session.h"
#include "tools/timeline.h"
#include "tools/walkthrough.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#ifndef EMBERLANE_DIST_DIR
#define EMBERLANE_DIST_DIR "dist"
#endif

namespace {

constexpr const char* usageText =
    "usage: emberlane-sim [--scene FILE] [--ini FILE] [--dat FILE] [--frame-ms N] [--seed N]\n"
    "                     [--trace] [--svg FILE] [--quiet] [--plugin PATH]\n"
    "With no --scene, plays the built-in walkthrough. Scene format: see tools/scene.h.\n";

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

int fail(const std::string& what) {
    std::fprintf(stderr, "emberlane-sim: %s\n", what.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    session::Settings settings;
    std::string scenePath, svgPath;
    std::optional<std::string> datPath;
    std::string iniPath;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        long long n = 0;
        if (arg == "--scene" && hasValue)
            scenePath = argv[++i];
        else if (arg == "--svg" && hasValue)
            svgPath = argv[++i];
        else if (arg == "--plugin" && hasValue)
            settings.options.plugin = argv[++i];
        else if (arg == "--trace")
            settings.trace = true;
        else if (arg == "--quiet")
            settings.printEvents = false;
        else if (arg == "--ini" && hasValue) {
            iniPath = argv[++i];
            settings.options.ini = readFile(iniPath);
            if (!settings.options.ini)
                return fail("cannot read the settings file '" + iniPath + "'");
        } else if (arg == "--dat" && hasValue) {
            datPath = argv[++i];
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
    if (datPath) {
        settings.options.dat = readFile(*datPath);
        if (!settings.options.dat) return fail("cannot read the label file '" + *datPath + "'");
    } else {
        settings.options.dat = readFile(std::string(EMBERLANE_DIST_DIR) + "/Emberlane.dat");
    }

    std::string text = walkthrough::scene;
    std::string name = "walkthrough";
    if (!scenePath.empty()) {
        const auto file = readFile(scenePath);
        if (!file) return fail("cannot open the scene file '" + scenePath + "'");
        text = *file;
        name = scenePath;
    }
    const scene::Parsed parsed = scene::parse(text, name);
    if (!parsed.error.empty()) return fail(parsed.error);

    std::printf("%s\n", timeline::settingsHeader(settings.options.ini, iniPath).c_str());
    try {
        const session::Record record = session::play(parsed.scene, settings);
        std::printf("\n%s", timeline::summary(record).c_str());
        if (!svgPath.empty()) {
            std::ofstream out(svgPath, std::ios::binary);
            out << picture::svg(record);
            if (!out) return fail("cannot write '" + svgPath + "'");
        }
    } catch (const sim::GameError& e) {
        std::fprintf(stderr, "emberlane-sim: the game stopped: %s\n", e.what());
        return 1;
    }
    return 0;
}
