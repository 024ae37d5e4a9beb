list(APPEND EMBERLANE_PLUGIN_SOURCES
    horse/drink_command.cpp
    horse/grazing.cpp
    horse/horse_section.cpp
    horse/rest_care.cpp
    horse/stamina_upkeep.cpp)
