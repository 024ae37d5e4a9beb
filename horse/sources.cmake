list(APPEND EMBERLANE_PLUGIN_SOURCES
    horse/stubs.cpp)
