// The scene files a modder reads and plays: each plays through, and shows what its comments
// promise.
#include "emberlane-sim/session.h"
#include "play.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const std::filesystem::path scenes = std::filesystem::path(EMBERLANE_SOURCE_DIR) / "scenes";

observer::History playFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    const scene::Parsed parsed = scene::parse(text.str(), path.filename().string());
    EXPECT_EQ(parsed.error, "");
    session::Settings settings;
    settings.printEvents = false;
    settings.options.dat = "1=Wash\n2=Ground\n3=Sit\n4=Smoke\n5=Cigar\n6=Cigarette\n7=Drink horse\n"
                           "8=Rest\n9=Drink\n10=Close\n";
    return session::play(parsed.scene, settings);
}

// The times of the events of a kind whose detail holds `detail`, made by `cause`.
std::vector<std::int64_t> times(const observer::History& r, const std::string& what,
                                const std::string& detail,
                                observer::Cause cause = observer::Cause::Plugin) {
    std::vector<std::int64_t> out;
    for (const observer::Event& e : r.events)
        if (e.what == what && e.detail.find(detail) != std::string::npos && e.cause == cause)
            out.push_back(e.ms);
    return out;
}

std::int64_t first(const std::vector<std::int64_t>& ms) { return ms.empty() ? -1 : ms.front(); }

} // namespace

TEST(Scenes, EverySceneFilePlaysThrough) {
    int played = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scenes)) {
        if (entry.path().extension() != ".scene") continue;
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_NO_THROW(playFile(entry.path()));
        ++played;
    }
    EXPECT_GE(played, 3);
}

TEST(Scenes, AnEveningAtTheCampfire) {
    const observer::History r = playFile(scenes / "campfire-evening.scene");
    EXPECT_EQ(times(r, "player starts", "WORLD_PLAYER_CAMP_FIRE_SIT", observer::Cause::Scene),
              std::vector<std::int64_t>{2013});
    // One rest command: the second release finds the horse resting already.
    const auto rest = times(r, "Tumbleweed starts", "WORLD_ANIMAL_HORSE_RESTING");
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0], 5016 + 33);
    const auto refill = first(times(r, "Tumbleweed stamina", "70 -> 81, a point at a time"));
    EXPECT_GT(refill - rest[0], 3000);
    EXPECT_LE(refill - rest[0], 3000 + 33);
    // The rider's stamina while the full horse drinks, from the next pass on.
    EXPECT_EQ(first(times(r, "player stamina", "85 -> 100, a point at a time")), 40029 + 33);
}

TEST(Scenes, ARiverCrossing) {
    const observer::History r = playFile(scenes / "river-crossing.scene");
    // Walking, armed: nothing offered; still and holstered: both prompts.
    const auto shown = times(r, "prompt shown", "(washFacePrompt)");
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[0], 2046);
    EXPECT_EQ(first(times(r, "prompt hidden", "(washFacePrompt)")), 3036);
    EXPECT_EQ(shown[1], 4059);
    // The effects fifteen seconds in.
    const auto wash = first(times(r, "player starts", "WASH_FACE"));
    const auto effect = first(times(r, "player washes", "face-wash"));
    EXPECT_GT(effect - wash, 15000);
    EXPECT_LE(effect - wash, 15000 + 33);
    const auto drink = first(times(r, "player starts", "BUCKET_DRINK"));
    const auto refill = first(times(r, "player stamina", "60 -> 100, a point at a time"));
    EXPECT_GT(refill - drink, 15000);
    EXPECT_LE(refill - drink, 15000 + 33);
    EXPECT_GT(first(times(r, "player stamina", "overpowered")), refill);
    // The horse's drink: started by the plug-in, ended by the game twenty seconds later.
    const auto horse = first(times(r, "Tumbleweed starts", "WORLD_ANIMAL_HORSE_DRINK_GROUND"));
    EXPECT_EQ(first(times(r, "Tumbleweed ends", "WORLD_ANIMAL_HORSE_DRINK_GROUND",
                          observer::Cause::Game)) -
                  horse,
              20031);
}

TEST(Scenes, TheMenusCorners) {
    const observer::History r = playFile(scenes / "menu-corners.scene");
    // Y in water and in a fight opened nothing, then or later.
    const auto menu = times(r, "prompt shown", "(sitActivityPrompt)");
    ASSERT_FALSE(menu.empty());
    EXPECT_GT(menu.front(), 17000);
    // The satchel prompt: two seconds untouched, none with keyboard and mouse.
    EXPECT_EQ(times(r, "prompt shown", "(menuPrompt)"), (std::vector<std::int64_t>{8052, 17061}));
    EXPECT_EQ(first(times(r, "prompt hidden", "(menuPrompt)")), 10065);
    // The smoking choice three times, the close entry through each.
    EXPECT_EQ(times(r, "prompt shown", "(cigarPrompt)").size(), 3u);
    EXPECT_EQ(times(r, "prompt shown", "(menuClosePrompt)").size(), 3u);
    // The cigarette's exit: two seconds' wait, then the prop.
    const auto wait = first(times(r, "script waits", "2000 ms"));
    EXPECT_EQ(first(times(r, "player props", "discarded")), wait + 2013);
}

TEST(Scenes, LoadingASave) {
    const observer::History r = playFile(scenes / "loading-a-save.scene");
    EXPECT_EQ(times(r, "load", "the game loads a session", observer::Cause::Scene),
              (std::vector<std::int64_t>{4026, 25014, 41514}));
    // The open menu leaves with the first load's run; the hotkey opens it again after each.
    EXPECT_EQ(times(r, "prompt hidden", "(sitActivityPrompt)", observer::Cause::Scene),
              std::vector<std::int64_t>{4026});
    EXPECT_EQ(times(r, "prompt shown", "(sitActivityPrompt)"),
              (std::vector<std::int64_t>{2046, 14058, 33033, 51051}));
    // The seat goes with the second; the camera eased in at the first seat only.
    EXPECT_EQ(first(times(r, "player ends", "SIT_GROUND_COFFEE", observer::Cause::Scene)), 25014);
    EXPECT_EQ(times(r, "script eases", "camera").size(), 1u);
    // The third drops the 3000 ms after the exit: no prop is discarded.
    EXPECT_EQ(times(r, "script waits", "3000 ms").size(), 1u);
    EXPECT_TRUE(times(r, "player props", "discarded").empty());
}
