// Every game operation the plug-in calls, by its role. The community names are in the
// stand-in game's trace (sim/native_table.cpp).
#pragma once

#include <cstdint>

namespace op {
// Names and time
inline constexpr std::uint64_t hashOfName = 0xFD340785ADF8CFB7;
inline constexpr std::uint64_t gameTimer = 0x4F67E8ECA7D3F667;
inline constexpr std::uint64_t randomInt = 0xD53343AA4FB7DD28;
inline constexpr std::uint64_t currentLanguage = 0xDB917DA5C6835FCC;

// Player and entities
inline constexpr std::uint64_t playerPed = 0x096275889B8E0EE0;
inline constexpr std::uint64_t playerIndex = 0x217E9DC48139933D;
inline constexpr std::uint64_t playerTargetEntity = 0xAE663DDD99C8A670;
inline constexpr std::uint64_t entityExists = 0xD42BD6EB2E0F1677;
inline constexpr std::uint64_t entityModel = 0xDA76A9F39210D365;
inline constexpr std::uint64_t modelIsHorse = 0x772A1969F649E902;
inline constexpr std::uint64_t entityHeading = 0xC230DD956E2F5507;
inline constexpr std::uint64_t entityCoords = 0xA86D5F069399F44D;
inline constexpr std::uint64_t distanceBetweenCoords = 0x0BE7F4E3CDBAFB28;
inline constexpr std::uint64_t promptGroupOfTarget = 0xB796970BD125FCE8;
inline constexpr std::uint64_t pedIsStill = 0xAC29253EEF8F0180;
inline constexpr std::uint64_t pedInCombat = 0x4859F1FC66A6278E;
inline constexpr std::uint64_t entityInWater = 0xDDE5C125AC446723;
inline constexpr std::uint64_t pedBusyWithHorse = 0xEFC4303DDC6E60D3;
inline constexpr std::uint64_t currentPedWeapon = 0x3A87E44BB9A01D54;

// Scenarios and tasks
inline constexpr std::uint64_t pedUsingScenario = 0x34D6AC1157C8226C;
inline constexpr std::uint64_t pedUsingAnyScenario = 0x57AB4A3080F85143;
inline constexpr std::uint64_t createScenarioPoint = 0x94B745CE41DB58A1;
inline constexpr std::uint64_t useScenarioPoint = 0xCCDAE6324B6A821C;
inline constexpr std::uint64_t deleteScenarioPoint = 0x81948DFE4F5A0283;
inline constexpr std::uint64_t clearPedTasks = 0xE1EF3C1216AFF2CD;
inline constexpr std::uint64_t discardHeldProp = 0xFCCC886EDE3C63EC;
inline constexpr std::uint64_t scenarioEase = 0x2126C740A4AC370B;
inline constexpr std::uint64_t afterScenarioEase = 0x71D71E08A7ED5BD7;
inline constexpr std::uint64_t faceWashEffect = 0xE952D6431689AD9A;

// Attributes
inline constexpr std::uint64_t coreValue = 0x36731AC041289BB1;
inline constexpr std::uint64_t setCoreValue = 0xC6258F41D86676E0;
inline constexpr std::uint64_t coreOverpowered = 0x200373A8DF081F22;
inline constexpr std::uint64_t enableCoreOverpower = 0x4AF5A4C7B9157D14;
inline constexpr std::uint64_t attributePoints = 0x219DA04BAA9CB065;
inline constexpr std::uint64_t setAttributePoints = 0x09A59688C26D88DF;

// Controls
inline constexpr std::uint64_t controlJustPressed = 0x580417101DDB492F;
inline constexpr std::uint64_t controlJustReleased = 0x50F940259D3841E6;
inline constexpr std::uint64_t usingKeyboardAndMouse = 0xA571D46727E2B718;

// Prompts
inline constexpr std::uint64_t promptRegisterBegin = 0x04F97DE45A519419;
inline constexpr std::uint64_t promptSetControlAction = 0xB5352B7494A08258;
inline constexpr std::uint64_t literalText = 0xFA925AC00EB830B9;
inline constexpr std::uint64_t promptSetText = 0x5DD02A8318420DD7;
inline constexpr std::uint64_t promptSetStandardMode = 0xCC6656799977741B;
inline constexpr std::uint64_t promptRegisterEnd = 0xF7AA2696A22AD8B9;
inline constexpr std::uint64_t promptSetEnabled = 0x8A0FB4D03A630D21;
inline constexpr std::uint64_t promptSetVisible = 0x71215ACCFDE075EE;
inline constexpr std::uint64_t promptCompleted = 0xC92AC953F0A982AE;
inline constexpr std::uint64_t promptSetGroup = 0x2F11D3A254169EA4;
} // namespace op
