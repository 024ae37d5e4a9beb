list(APPEND EMBERLANE_PLUGIN_SOURCES
    activities/exit_watch.cpp
    activities/menu_prompt.cpp
    activities/rest_activities.cpp
    activities/rest_menu.cpp
    activities/water_effects.cpp
    activities/water_prompts.cpp)
