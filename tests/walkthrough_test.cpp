// The built-in walkthrough, checked against what the rules say the player sees.
#include "emberlane-sim/picture.h"
#include "emberlane-sim/session.h"
#include "emberlane-sim/walkthrough.h"
#include "play.h"

#include <regex>
#include <set>

namespace {

observer::History playWalkthrough(std::uint64_t seed = 1) {
    const scene::Parsed parsed = scene::parse(walkthrough::scene, "walkthrough");
    EXPECT_EQ(parsed.error, "");
    session::Settings settings;
    settings.printEvents = false;
    settings.options.seed = seed;
    settings.options.dat = "1=Wash\n2=Ground\n3=Sit\n4=Smoke\n5=Cigar\n6=Cigarette\n7=Drink horse\n"
                           "8=Rest\n9=Drink\n10=Close\n";
    return session::play(parsed.scene, settings);
}

// The first event at or after `fromMs` whose kind and detail match.
const observer::Event* find(const observer::History& r, const std::string& what,
                            const std::string& detail, std::int64_t fromMs = 0) {
    for (const observer::Event& e : r.events)
        if (e.ms >= fromMs && e.what == what && e.detail.find(detail) != std::string::npos)
            return &e;
    return nullptr;
}

std::int64_t at(const observer::History& r, const std::string& what, const std::string& detail,
                std::int64_t fromMs = 0) {
    const observer::Event* e = find(r, what, detail, fromMs);
    EXPECT_NE(e, nullptr) << what << " " << detail << " after " << fromMs;
    return e ? e->ms : -1;
}

} // namespace

TEST(Walkthrough, EveryFeatureShowsAsTheRulesSay) {
    const observer::History r = playWalkthrough();
    // The satchel: the menu prompt for two seconds, completed into the four main entries.
    const auto satchel = at(r, "scene", "release INPUT_OPEN_SATCHEL_MENU");
    EXPECT_EQ(at(r, "prompt shown", "(menuPrompt)"), satchel + 33);
    const auto menu = at(r, "prompt shown", "(sitActivityPrompt)");
    EXPECT_EQ(at(r, "prompt shown", "(menuClosePrompt)"), menu);
    EXPECT_EQ(at(r, "prompt hidden", "(menuPrompt)"), menu);
    // A seated activity from the seven, eased in over eleven frames, menu gone meanwhile.
    const observer::Event* sit = find(r, "player starts", "WORLD_HUMAN_SIT");
    ASSERT_NE(sit, nullptr);
    // noted when the next pass begins: eleven easing frames, then the end of that pass
    EXPECT_EQ(at(r, "script eases", "over 11 frames"), sit->ms + 13 * 33);
    // Its exit: the press ends the scenario, the release waits 3000 ms, the prop goes.
    const auto release = at(r, "scene", "release INPUT_FRONTEND_NAV_DOWN");
    EXPECT_EQ(at(r, "script waits", "3000 ms", release), release + 33);
    EXPECT_EQ(at(r, "player props", "discarded", release), release + 33 + 3003);
    // The hotkey, the smoking choice, the cigar and its 2000 ms discard.
    const auto hotkey = at(r, "scene", "key hotkey");
    EXPECT_EQ(at(r, "prompt shown", "(sitActivityPrompt)", hotkey), hotkey + 33);
    EXPECT_GT(at(r, "prompt shown", "(cigarPrompt)", hotkey), hotkey);
    const auto cigar = at(r, "player starts", "WORLD_HUMAN_SMOKE_CIGAR");
    const auto cigarExit = at(r, "script waits", "2000 ms", cigar);
    EXPECT_EQ(at(r, "player props", "discarded", cigar), cigarExit + 2013);
    EXPECT_GT(at(r, "player starts", "WORLD_HUMAN_SMOKE", cigarExit), cigarExit);
    // At the river: hidden while armed, the wash effect after 15 s, the drink's stamina.
    const auto drawn = at(r, "scene", "draw WEAPON_REVOLVER_CATTLEMAN");
    EXPECT_EQ(at(r, "prompt hidden", "(washFacePrompt)", drawn), drawn + 33);
    const auto wash = at(r, "player starts", "WORLD_HUMAN_WASH_FACE");
    const auto effect = at(r, "player washes", "face-wash effect", wash);
    EXPECT_GT(effect - wash, 15000);
    EXPECT_LE(effect - wash, 15000 + 33);
    const auto drink = at(r, "player starts", "WORLD_HUMAN_BUCKET_DRINK");
    EXPECT_GT(at(r, "player stamina", "70 -> 100, a point at a time", drink) - drink, 15000);
    EXPECT_GT(at(r, "player stamina", "overpowered", drink), drink + 15000);
    // The horse drinks, a point every two seconds from 90.
    const auto horseDrink = at(r, "Tumbleweed starts", "WORLD_ANIMAL_HORSE_DRINK_GROUND");
    EXPECT_GT(at(r, "prompt shown", "(horseDrinkPrompt)"), 0);
    EXPECT_GT(at(r, "Tumbleweed stamina", "90 -> 100, a point at a time", horseDrink),
              horseDrink + 1000);
    // Grazing: health back to 100, the bonus three times in 56 s.
    // The scene starts the grazing; the plug-in pays the first bonus in the next pass.
    const auto grazing = at(r, "Tumbleweed starts", "WORLD_ANIMAL_HORSE_GRAZING") + 33;
    EXPECT_EQ(at(r, "Tumbleweed health", "90 -> 100, a point at a time", grazing), grazing);
    EXPECT_EQ(at(r, "Tumbleweed points", "0 -> 5"), grazing);
    const auto second = at(r, "Tumbleweed points", "5 -> 10");
    EXPECT_GT(second - grazing, 25000);
    EXPECT_LE(second - grazing, 25000 + 66);
    EXPECT_GT(at(r, "Tumbleweed points", "10 -> 15"), second + 25000);
    EXPECT_EQ(find(r, "Tumbleweed points", "15 -> 20"), nullptr);
    // Sitting by the horse: the lock-on release sends it to rest, a point every 3 s.
    const auto lockOn = at(r, "scene", "release INPUT_INTERACT_LOCKON");
    EXPECT_EQ(at(r, "Tumbleweed starts", "WORLD_ANIMAL_HORSE_RESTING"), lockOn + 33);
    EXPECT_GT(at(r, "Tumbleweed stamina", "80 -> ", lockOn), lockOn + 3000);
    // While the player rests and the horse drinks at full stamina, the rider's comes back.
    // The scene sets it to 80 first; the plug-in's points follow from there.
    const auto setByScene = at(r, "scene", "core player stamina 80", lockOn);
    EXPECT_EQ(at(r, "player stamina", "100 -> 80", lockOn), setByScene);
    EXPECT_EQ(at(r, "player stamina", "80 -> 90, a point at a time", lockOn), setByScene + 33);
    // The rest point stays while the horse uses the game's own drink: kept by the rules.
    EXPECT_EQ(r.pointsLeft, 1u);
    EXPECT_GT(r.callsPerPass.size(), 7000u);
}

TEST(Walkthrough, TheSameSeedPlaysTheSameAndTheSvgHasEveryLane) {
    const observer::History a = playWalkthrough(5), b = playWalkthrough(5);
    EXPECT_EQ(a.digest, b.digest);
    ASSERT_EQ(a.events.size(), b.events.size());
    for (std::size_t i = 0; i < a.events.size(); ++i)
        EXPECT_EQ(a.events[i].detail, b.events[i].detail);

    const std::string svg = picture::svg(a, "walkthrough");
    // Well-formed enough for any XML reader: balanced elements, escaped text, one root.
    std::vector<std::string> open;
    const std::regex tag(R"(<(/?)([a-zA-Z]+)[^>]*?(/?)>)");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), tag); it != std::sregex_iterator();
         ++it) {
        const auto& m = *it;
        if (m[3] == "/") continue;
        if (m[1] == "/") {
            ASSERT_FALSE(open.empty());
            EXPECT_EQ(open.back(), m[2].str());
            open.pop_back();
        } else {
            open.push_back(m[2]);
        }
    }
    EXPECT_TRUE(open.empty());
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    for (const char* lane : {"washFacePrompt", "menuPrompt", "horseDrinkPrompt", "player scenario",
                             "Tumbleweed scenario", "player stamina", "Tumbleweed health"})
        EXPECT_NE(svg.find(std::string(">") + lane + "<"), std::string::npos) << lane;

    auto count = [&svg](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = svg.find(what); at != std::string::npos; at = svg.find(what, at + 1))
            ++n;
        return n;
    };
    // A time axis of 30-second ticks over the four minutes.
    for (const char* tick : {">00:00<", ">00:30<", ">02:00<", ">04:00<"})
        EXPECT_EQ(count(tick), 1u) << tick;
    EXPECT_EQ(count(">04:30<"), 0u);
    // Each scenario bar carries its name, without the family prefix.
    std::vector<std::string> names;
    const std::regex nameText(R"(class="scenario-name"[^>]*>([A-Z_]+)<)");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), nameText);
         it != std::sregex_iterator(); ++it)
        names.push_back((*it)[1]);
    std::size_t scenarioBars = 0;
    for (const observer::Span& s : a.spans) {
        if (s.lane.find("scenario") == std::string::npos) continue;
        ++scenarioBars;
        EXPECT_TRUE(std::any_of(names.begin(), names.end(), [&](const std::string& n) {
            return s.label == n || s.label.ends_with("_" + n);
        })) << s.label;
    }
    EXPECT_EQ(names.size(), scenarioBars);
    // A mark for each wait inside a pass and each prop discard, and a legend that says so.
    std::size_t waits = 0, discards = 0;
    for (const observer::Event& e : a.events) {
        waits += e.what == "script waits";
        discards += e.what == "player props";
    }
    EXPECT_EQ(waits, 6u);
    EXPECT_EQ(count("class=\"wait\""), waits);
    EXPECT_EQ(count("class=\"discard\""), discards);
    for (const char* entry :
         {">prompt on screen<", ">scenario<", ">wait inside a pass<", ">prop discarded<"})
        EXPECT_EQ(count(entry), 1u) << entry;
}

TEST(Picture, EveryCoreLineAndEveryActionOfTheSceneShows) {
    // Every core stays at 100: four lines at the same value, each in a panel of its own.
    const scene::Parsed parsed = scene::parse("0 horse Tumbleweed 103 200 30 heading 180\n"
                                              "1 stand 120 200 29 heading 270\n"
                                              "2 wade in\n"
                                              "3 walk\n"
                                              "4 wade out\n"
                                              "5 key Y\n"
                                              "5 release INPUT_FRONTEND_NAV_UP\n"
                                              "10 end\n",
                                              "still.scene");
    ASSERT_EQ(parsed.error, "");
    session::Settings settings;
    settings.printEvents = false;
    const std::string svg =
        picture::svg(session::play(parsed.scene, settings), "still.scene in the stand-in game");

    EXPECT_NE(svg.find(">still.scene in the stand-in game: 00:10.032 of game time<"),
              std::string::npos);
    std::vector<std::pair<std::string, std::set<std::string>>> lines; // name, heights drawn at
    const std::regex core(R"re(<polyline class="core"[^>]*points="([^"]*)"><title>([^<]*)<)re");
    const std::regex point(R"re([0-9.]+,([0-9.]+))re");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), core); it != std::sregex_iterator();
         ++it) {
        const std::string points = (*it)[1];
        std::set<std::string> heights;
        for (auto p = std::sregex_iterator(points.begin(), points.end(), point);
             p != std::sregex_iterator(); ++p)
            heights.insert((*p)[1]);
        lines.push_back({(*it)[2], heights});
    }
    ASSERT_EQ(lines.size(), 4u);
    std::set<std::string> apart;
    for (const auto& [name, heights] : lines) {
        EXPECT_EQ(heights.size(), 1u) << name; // flat at 100
        apart.insert(*heights.begin());
    }
    EXPECT_EQ(apart.size(), 4u); // none on top of another
    for (const char* name :
         {"player health", "player stamina", "Tumbleweed health", "Tumbleweed stamina"})
        EXPECT_NE(svg.find(std::string(">") + name + "<"), std::string::npos) << name;
    std::size_t scales = 0;
    for (std::size_t at = svg.find(">50<"); at != std::string::npos; at = svg.find(">50<", at + 1))
        ++scales;
    EXPECT_EQ(scales, 4u);

    // A mark for each action of the scene, labelled in its words, the place left out.
    std::vector<std::string> labels;
    const std::regex action(R"(<g class="action"><title>([^<]*)</title>.*?>([^<>]+)</text>)");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), action);
         it != std::sregex_iterator(); ++it)
        labels.push_back((*it)[1].str() + " | " + (*it)[2].str());
    EXPECT_THAT(labels, ElementsAre("00:00.000 horse Tumbleweed 103 200 30 heading 180 | horse "
                                    "Tumbleweed",
                                    "00:01.023 stand 120 200 29 heading 270 | stand",
                                    "00:02.013 wade in | wade in", "00:03.003 walk | walk",
                                    "00:04.026 wade out | wade out", "00:05.016 key Y | key Y",
                                    "00:05.016 release INPUT_FRONTEND_NAV_UP | release "
                                    "FRONTEND_NAV_UP"));
}
