list(APPEND EMBERLANE_PLUGIN_SOURCES
    activities/stubs.cpp)
