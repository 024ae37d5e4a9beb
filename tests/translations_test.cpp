// Every label file the release ships, in each of the game's languages: clean bytes, the English
// keys in order, and the very texts the plug-in hands to the game. The table below is what the
// files must read back as, so an editor's re-encoding or a lost line shows here.
#include "emberlane-sim/session.h"
#include "emberlane-sim/walkthrough.h"
#include "prompts/labels.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

const std::filesystem::path dist = std::filesystem::path(EMBERLANE_SOURCE_DIR) / "dist";

constexpr std::array<const char*, labelCount> labelKeys = {
    "WASH_FACE", "SIT_GROUND",  "SIT_ACTIVITY", "SMOKE_MENU",  "CIGAR",
    "SMOKE",     "HORSE_DRINK", "REST_MENU",    "DRINK_WATER", "CLOSE_MENU"};

// The prompt each line labels, as the timeline names it.
constexpr std::array<const char*, labelCount> prompts = {
    "washFacePrompt",   "sitGroundPrompt", "sitActivityPrompt", "smokeMenuPrompt",
    "cigarPrompt",      "smokePrompt",     "horseDrinkPrompt",  "menuPrompt",
    "drinkWaterPrompt", "menuClosePrompt"};

struct Language {
    const char* folder; // under translations/
    LabelLines labels;
};

const Language languages[] = {
    {"en",
     {"Wash Face", "Sit on the Ground", "Sit and Rest", "Smoke", "Cigar", "Cigarette",
      "Let the Horse Drink", "Rest", "Drink", "Close"}},
    {"fr",
     {"Se laver le visage", "S'asseoir par terre", "S'asseoir et se reposer", "Fumer", "Cigare",
      "Cigarette", "Faire boire le cheval", "Se reposer", "Boire", "Fermer"}},
    {"it",
     {"Lavati il viso", "Siediti a terra", "Siediti e riposa", "Fuma", "Sigaro", "Sigaretta",
      "Fai bere il cavallo", "Riposa", "Bevi", "Chiudi"}},
    {"de",
     {"Gesicht waschen", "Auf den Boden setzen", "Hinsetzen und ausruhen", "Rauchen", "Zigarre",
      "Zigarette", "Pferd trinken lassen", "Ausruhen", "Trinken", "Schließen"}},
    {"es",
     {"Lavarse la cara", "Sentarse en el suelo", "Sentarse a descansar", "Fumar", "Puro",
      "Cigarrillo", "Dar de beber al caballo", "Descansar", "Beber", "Cerrar"}},
    {"es-MX",
     {"Lavarse la cara", "Sentarse en el suelo", "Sentarse a descansar", "Fumar", "Puro", "Cigarro",
      "Dar de beber al caballo", "Descansar", "Beber", "Cerrar"}},
    {"pt-BR",
     {"Lavar o rosto", "Sentar no chão", "Sentar e descansar", "Fumar", "Charuto", "Cigarro",
      "Deixar o cavalo beber", "Descansar", "Beber", "Fechar"}},
    {"pl",
     {"Umyj twarz", "Usiądź na ziemi", "Usiądź i odpocznij", "Zapal", "Cygaro", "Papieros",
      "Napój konia", "Odpocznij", "Napij się", "Zamknij"}},
    {"ru",
     {"Умыться", "Сесть на землю", "Сесть и отдохнуть", "Закурить", "Сигара", "Сигарета",
      "Напоить лошадь", "Отдохнуть", "Попить", "Закрыть"}},
    {"ja",
     {"顔を洗う", "地面に座る", "座って休む", "タバコを吸う", "葉巻", "紙巻きタバコ",
      "馬に水を飲ませる", "休む", "水を飲む", "閉じる"}},
    {"ko",
     {"세수하기", "땅에 앉기", "앉아서 쉬기", "흡연", "시가", "담배", "말에게 물 먹이기", "휴식",
      "물 마시기", "닫기"}},
    {"zh-Hans",
     {"洗脸", "坐在地上", "坐下休息", "抽烟", "雪茄", "香烟", "让马喝水", "休息", "喝水", "关闭"}},
    {"zh-Hant",
     {"洗臉", "坐在地上", "坐下休息", "抽菸", "雪茄", "香菸", "讓馬喝水", "休息", "喝水", "關閉"}},
};

std::filesystem::path fileOf(const Language& language) {
    return dist / "translations" / language.folder / "Emberlane.dat";
}

std::string readAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// Characters in `s`, or -1 when it is not well-formed UTF-8: stray or missing continuation
// bytes, overlong forms, surrogates and values past U+10FFFF all fail.
int utf8Length(const std::string& s) {
    static constexpr std::uint32_t least[] = {0, 0x80, 0x800, 0x10000};
    int count = 0;
    for (std::size_t i = 0; i < s.size(); ++count) {
        const auto lead = static_cast<unsigned char>(s[i]);
        const int extra = lead < 0x80           ? 0
                          : (lead >> 5) == 0x6  ? 1
                          : (lead >> 4) == 0xE  ? 2
                          : (lead >> 3) == 0x1E ? 3
                                                : -1;
        if (extra < 0 || s.size() - i <= static_cast<std::size_t>(extra)) return -1;
        std::uint32_t code = extra == 0 ? lead : lead & (0x3Fu >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(s[i + k]);
            if ((next >> 6) != 0x2) return -1;
            code = code << 6 | (next & 0x3Fu);
        }
        if (code < least[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return count;
}

} // namespace

TEST(Translations, TheUtf8CheckCountsCharactersAndRejectsMangledText) {
    EXPECT_EQ(utf8Length("Schließen"), 9);
    EXPECT_EQ(utf8Length("紙巻きタバコ"), 6);
    EXPECT_EQ(utf8Length("Schlie\xDF"
                         "en"),
              -1);                             // saved as Latin-1
    EXPECT_EQ(utf8Length("\xC0\xAF"), -1);     // overlong
    EXPECT_EQ(utf8Length("\xED\xA0\x80"), -1); // surrogate
    EXPECT_EQ(utf8Length("\xE6\x97"), -1);     // cut short
}

TEST(Translations, EveryLanguageOfTheGameHasItsFolderAndNoOther) {
    std::set<std::string> expected, shipped;
    for (const Language& language : languages) expected.insert(language.folder);
    for (const auto& entry : std::filesystem::directory_iterator(dist / "translations"))
        if (entry.is_directory()) shipped.insert(entry.path().filename().string());
    EXPECT_EQ(expected.size(), 13u);
    EXPECT_EQ(shipped, expected);
}

TEST(Translations, EveryFileIsTenKeyedLinesOfShortCleanUtf8) {
    for (const Language& language : languages) {
        SCOPED_TRACE(fileOf(language).string());
        const std::string text = readAll(fileOf(language));
        ASSERT_FALSE(text.empty());
        EXPECT_NE(text.rfind("\xEF\xBB\xBF", 0), 0u) << "byte-order mark";
        EXPECT_EQ(text.find('\r'), std::string::npos);
        EXPECT_EQ(text.back(), '\n');
        std::istringstream lines(text);
        std::string line;
        std::size_t n = 0;
        for (; std::getline(lines, line); ++n) {
            if (n >= labelCount) continue;
            SCOPED_TRACE("line " + std::to_string(n + 1));
            const std::size_t equals = line.find('=');
            ASSERT_NE(equals, std::string::npos);
            EXPECT_EQ(line.substr(0, equals), labelKeys[n]);
            const std::string label = line.substr(equals + 1);
            const int length = utf8Length(label);
            EXPECT_GT(length, 0) << "empty or not UTF-8";
            EXPECT_LE(length, 40);
            EXPECT_EQ(label.find_first_not_of(" \t"), 0u) << "leading space";
            EXPECT_EQ(label.find_last_not_of(" \t"), label.size() - 1) << "trailing space";
        }
        EXPECT_EQ(n, labelCount);
    }
}

TEST(Translations, EveryFileReadsBackThroughTheLabelReaderAsItsTable) {
    for (const Language& language : languages) {
        SCOPED_TRACE(fileOf(language).string());
        const std::string text = readAll(fileOf(language));
        EXPECT_EQ(parseLabels(text.data(), text.size()), language.labels);
    }
}

// Without a label file the prompts speak the language the game answers with, by the game's own
// numbering, and English for a number it does not know; the texts are those of the release's
// files, each on its own prompt.
TEST(Translations, WithoutALabelFileThePromptsSpeakTheGamesLanguage) {
    const std::pair<const char*, std::int32_t> numbers[] = {
        {"en", 0},       {"fr", 1},  {"de", 2},  {"it", 3},         {"es", 4},  {"pt-BR", 5},
        {"pl", 6},       {"ru", 7},  {"ko", 8},  {"zh-Hant", 9},    {"ja", 10}, {"es-MX", 11},
        {"zh-Hans", 12}, {"en", 13}, {"en", -1}, {"en", 0x7FFFFFFF}};
    for (const auto& [folder, number] : numbers) {
        SCOPED_TRACE(std::string(folder) + " as " + std::to_string(number));
        const Language& language = *std::find_if(
            std::begin(languages), std::end(languages),
            [folder = std::string(folder)](const Language& l) { return l.folder == folder; });
        sim::Options o;
        o.language = number;
        sim::Sim sim(o);
        sim.frame();
        for (std::size_t line = 0; line < labelCount; ++line)
            EXPECT_EQ(sim.prompt(prompts[line]).label, language.labels[line]) << prompts[line];
    }
}

// Scripts far from Latin reach the prompts byte for byte, each on its own prompt.
TEST(Translations, TheWalkthroughShowsTheJapaneseAndRussianTextsOnTheirPrompts) {
    const scene::Parsed parsed = scene::parse(walkthrough::scene, "walkthrough");
    ASSERT_EQ(parsed.error, "");
    for (const Language& language : languages) {
        const std::string folder = language.folder;
        if (folder != "ja" && folder != "ru") continue;
        SCOPED_TRACE(folder);
        session::Settings settings;
        settings.printEvents = false;
        settings.options.dat = readAll(fileOf(language));
        const observer::History record = session::play(parsed.scene, settings);
        std::set<std::string> shown;
        for (const observer::Event& e : record.events)
            if (e.what == "prompt shown") shown.insert(e.detail);
        for (std::size_t i = 0; i < labelCount; ++i)
            EXPECT_EQ(shown.count("\"" + language.labels[i] + "\"  (" + prompts[i] + ")"), 1u)
                << prompts[i];
    }
}
