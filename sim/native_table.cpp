#include "sim/native_table.h"

#include "host/native_hashes.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace sim {
namespace {

constexpr std::array<NativeInfo, nativeCount> table = {{
    {op::hashOfName, "GET_HASH_KEY", "hashOfName", "s", 'h'},
    {op::gameTimer, "GET_GAME_TIMER", "gameTimer", "", 'i'},
    {op::randomInt, "GET_RANDOM_INT_IN_RANGE", "randomInt", "ii", 'i'},
    {op::currentLanguage, "GET_CURRENT_LANGUAGE", "currentLanguage", "", 'i'},
    {op::playerPed, "PLAYER_PED_ID", "playerPed", "", 'i'},
    {op::playerIndex, "PLAYER_ID", "playerIndex", "", 'i'},
    {op::playerTargetEntity, "GET_PLAYER_TARGET_ENTITY", "playerTargetEntity", "ip", 'b'},
    {op::entityExists, "DOES_ENTITY_EXIST", "entityExists", "i", 'b'},
    {op::entityModel, "GET_ENTITY_MODEL", "entityModel", "i", 'h'},
    {op::modelIsHorse, "_IS_THIS_MODEL_A_HORSE", "modelIsHorse", "h", 'b'},
    {op::entityHeading, "GET_ENTITY_HEADING", "entityHeading", "i", 'f'},
    {op::entityCoords, "GET_ENTITY_COORDS", "entityCoords", "ibb", 'c'},
    {op::distanceBetweenCoords, "GET_DISTANCE_BETWEEN_COORDS", "distanceBetweenCoords", "ffffffb",
     'f'},
    {op::promptGroupOfTarget, "_UI_PROMPT_GET_GROUP_ID_FOR_TARGET_ENTITY", "promptGroupOfTarget",
     "i", 'i'},
    {op::pedIsStill, "IS_PED_STILL", "pedIsStill", "i", 'b'},
    {op::pedInCombat, "IS_PED_IN_COMBAT", "pedInCombat", "ii", 'b'},
    {op::entityInWater, "IS_ENTITY_IN_WATER", "entityInWater", "i", 'b'},
    {op::pedBusyWithHorse, "_IS_PED_LEADING_HORSE", "pedBusyWithHorse", "i", 'b'},
    {op::currentPedWeapon, "GET_CURRENT_PED_WEAPON", "currentPedWeapon", "ipbib", 'b'},
    {op::pedUsingScenario, "IS_PED_USING_SCENARIO_HASH", "pedUsingScenario", "ih", 'b'},
    {op::pedUsingAnyScenario, "IS_PED_USING_ANY_SCENARIO", "pedUsingAnyScenario", "i", 'b'},
    {op::createScenarioPoint, "CREATE_SCENARIO_POINT_HASH", "createScenarioPoint", "hffffiab", 'i'},
    {op::useScenarioPoint, "TASK_USE_SCENARIO_POINT", "useScenarioPoint", "iisibbhbfb", 'v'},
    {op::deleteScenarioPoint, "_DELETE_SCENARIO_POINT", "deleteScenarioPoint", "i", 'v'},
    {op::clearPedTasks, "CLEAR_PED_TASKS", "clearPedTasks", "ibb", 'v'},
    {op::discardHeldProp, "_HIDE_PED_WEAPONS", "discardHeldProp", "iib", 'v'},
    {op::scenarioEase, "SET_THIRD_PERSON_CAM_ORBIT_DISTANCE_LIMITS_THIS_UPDATE", "scenarioEase",
     "ff", 'v'},
    {op::afterScenarioEase, "_0x71D71E08A7ED5BD7", "afterScenarioEase", "b", 'v'},
    {op::faceWashEffect, "CLONE_PED_TO_TARGET", "faceWashEffect", "ii", 'v'},
    {op::coreValue, "_GET_ATTRIBUTE_CORE_VALUE", "coreValue", "ii", 'i'},
    {op::setCoreValue, "_SET_ATTRIBUTE_CORE_VALUE", "setCoreValue", "iii", 'v'},
    {op::coreOverpowered, "_IS_ATTRIBUTE_CORE_OVERPOWERED", "coreOverpowered", "ii", 'b'},
    {op::enableCoreOverpower, "_ENABLE_ATTRIBUTE_CORE_OVERPOWER", "enableCoreOverpower", "iifb",
     'v'},
    {op::attributePoints, "GET_ATTRIBUTE_POINTS", "attributePoints", "ii", 'i'},
    {op::setAttributePoints, "SET_ATTRIBUTE_POINTS", "setAttributePoints", "iii", 'v'},
    {op::controlJustPressed, "IS_CONTROL_JUST_PRESSED", "controlJustPressed", "ih", 'b'},
    {op::controlJustReleased, "IS_CONTROL_JUST_RELEASED", "controlJustReleased", "ih", 'b'},
    {op::usingKeyboardAndMouse, "IS_USING_KEYBOARD_AND_MOUSE", "usingKeyboardAndMouse", "i", 'b'},
    {op::promptRegisterBegin, "_UI_PROMPT_REGISTER_BEGIN", "promptRegisterBegin", "", 'i'},
    {op::promptSetControlAction, "_UI_PROMPT_SET_CONTROL_ACTION", "promptSetControlAction", "ih",
     'v'},
    {op::literalText, "VAR_STRING", "literalText", "iss", 't'},
    {op::promptSetText, "_UI_PROMPT_SET_TEXT", "promptSetText", "it", 'v'},
    {op::promptSetStandardMode, "_UI_PROMPT_SET_STANDARD_MODE", "promptSetStandardMode", "ib", 'v'},
    {op::promptRegisterEnd, "_UI_PROMPT_REGISTER_END", "promptRegisterEnd", "i", 'v'},
    {op::promptSetEnabled, "_UI_PROMPT_SET_ENABLED", "promptSetEnabled", "ib", 'v'},
    {op::promptSetVisible, "_UI_PROMPT_SET_VISIBLE", "promptSetVisible", "ib", 'v'},
    {op::promptCompleted, "_UI_PROMPT_HAS_STANDARD_MODE_COMPLETED", "promptCompleted", "ii", 'b'},
    {op::promptSetGroup, "_UI_PROMPT_SET_GROUP", "promptSetGroup", "iii", 'v'},
}};

} // namespace

const NativeInfo* findNative(std::uint64_t hash) {
    // By hash, as a replay asks at every call: an open-addressed index of the table, made once.
    constexpr std::size_t slots = 256;
    static const std::array<const NativeInfo*, slots> index = [] {
        std::array<const NativeInfo*, slots> made{};
        for (const NativeInfo& n : table) {
            std::size_t at = n.hash % slots;
            while (made[at]) at = (at + 1) % slots;
            made[at] = &n;
        }
        return made;
    }();
    for (std::size_t at = hash % slots; index[at]; at = (at + 1) % slots)
        if (index[at]->hash == hash) return index[at];
    return nullptr;
}

std::size_t placeOf(std::uint64_t hash) {
    const NativeInfo* info = findNative(hash);
    return info ? static_cast<std::size_t>(info - table.data()) : nativeCount;
}

const NativeInfo* nativeTable(std::size_t& count) {
    count = table.size();
    return table.data();
}

} // namespace sim
