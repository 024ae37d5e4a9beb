// The files a player installs beside the .asi read back as the plug-in reads them.
#include "host/profile_int.h"
#include "prompts/labels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string readAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

const std::filesystem::path dist = std::filesystem::path(EMBERLANE_SOURCE_DIR) / "dist";

} // namespace

TEST(Release, TheSettingsFileHoldsBothDefaults) {
    const std::string ini = readAll(dist / "Emberlane.ini");
    EXPECT_EQ(profile::readInt(ini.data(), ini.size(), "SETTINGS", "PROMPTS_HOTKEY", 0), 89u);
    EXPECT_EQ(profile::readInt(ini.data(), ini.size(), "SETTINGS", "DESTROY_SCENARIO_PROP", 7), 1u);
}

TEST(Release, EveryLabelFileHasTenNonEmptyLinesInUtf8WithoutAMark) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(dist / "translations"))
        if (entry.is_directory()) files.push_back(entry.path() / "Emberlane.dat");
    ASSERT_GE(files.size(), 5u);
    for (const auto& path : files) {
        SCOPED_TRACE(path.string());
        const std::string text = readAll(path);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10);
        EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
        EXPECT_EQ(text.find('\r'), std::string::npos);
        const LabelLines labels = parseLabels(text.data(), text.size());
        for (const std::string& label : labels) EXPECT_FALSE(label.empty());
    }
    const std::string english = readAll(dist / "translations" / "en" / "Emberlane.dat");
    const LabelLines en = parseLabels(english.data(), english.size());
    EXPECT_EQ(en[0], "Wash Face");
    EXPECT_EQ(en[7], "Rest");
    EXPECT_EQ(en[9], "Close");
}
