# The Windows build: Emberlane.asi from the plug-in's sources, and, for the tests under Wine,
# a stand-in ScriptHookRDR2.dll, the behaviour suite and the simulator as Windows programs.
enable_language(RC)

# Import library for the script hook, from the project's own .def. MinGW's dlltool maps each
# plain C name onto the hook's decorated export; with MSVC, lib.exe takes the same file.
set(EMBERLANE_HOOK_DEF ${PROJECT_SOURCE_DIR}/host/ScriptHookRDR2.def)
set(EMBERLANE_HOOK_IMPORTS ${CMAKE_BINARY_DIR}/libScriptHookRDR2.a)
if(MSVC)
    set(EMBERLANE_HOOK_IMPORTS ${CMAKE_BINARY_DIR}/ScriptHookRDR2.lib)
    add_custom_command(OUTPUT ${EMBERLANE_HOOK_IMPORTS}
        COMMAND lib /nologo /machine:x64 /def:${EMBERLANE_HOOK_DEF} /out:${EMBERLANE_HOOK_IMPORTS}
        DEPENDS ${EMBERLANE_HOOK_DEF})
else()
    add_custom_command(OUTPUT ${EMBERLANE_HOOK_IMPORTS}
        COMMAND ${EMBERLANE_DLLTOOL} -m i386:x86-64 -d ${EMBERLANE_HOOK_DEF} -l ${EMBERLANE_HOOK_IMPORTS}
        DEPENDS ${EMBERLANE_HOOK_DEF})
endif()
add_custom_target(emberlane_hook_imports DEPENDS ${EMBERLANE_HOOK_IMPORTS})

configure_file(${PROJECT_SOURCE_DIR}/host/version.rc.in ${CMAKE_BINARY_DIR}/version.rc @ONLY)

add_library(emberlane_asi SHARED ${EMBERLANE_PLUGIN_SOURCES} ${CMAKE_BINARY_DIR}/version.rc)
set_target_properties(emberlane_asi PROPERTIES PREFIX "" OUTPUT_NAME Emberlane SUFFIX ".asi")
target_include_directories(emberlane_asi PRIVATE ${PROJECT_SOURCE_DIR})
add_dependencies(emberlane_asi emberlane_hook_imports)
target_link_libraries(emberlane_asi PRIVATE ${EMBERLANE_HOOK_IMPORTS})
emberlane_warnings(emberlane_asi)
# One file that needs nothing beside it but the system's own DLLs and the hook; and no
# exports of its own: the hook learns of the script through its registration alone.
target_link_options(emberlane_asi PRIVATE -static -static-libgcc -static-libstdc++
    -Wl,--exclude-all-symbols)

if(NOT EMBERLANE_TESTS)
    return()
endif()
enable_testing()

# The stand-in hook: exports the eight decorated names and forwards them to the game process.
add_library(standin_hook SHARED sim/standin/standin.cpp sim/standin/ScriptHookRDR2.def)
set_target_properties(standin_hook PROPERTIES PREFIX "" OUTPUT_NAME ScriptHookRDR2)
target_include_directories(standin_hook PRIVATE ${PROJECT_SOURCE_DIR})
target_link_options(standin_hook PRIVATE -static -static-libgcc -static-libstdc++)

add_library(emberlane_sim STATIC
    sim/chaos.cpp sim/coroutine_windows.cpp sim/game.cpp sim/host.cpp sim/loader_windows.cpp
    sim/native_table.cpp sim/sim.cpp
    tools/chaos_game.cpp tools/compare.cpp tools/keys.cpp tools/picture.cpp tools/scene.cpp
    tools/session.cpp tools/timeline.cpp
    host/profile_int.cpp prompts/labels.cpp)
target_include_directories(emberlane_sim PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(emberlane_sim PRIVATE EMBERLANE_PLUGIN_PATH="Emberlane.asi")
emberlane_warnings(emberlane_sim)

set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# The behaviour suite, the same files as on Linux, less those that test the Linux host itself
# (the in-process key table on the simulated tick count) or time the hotkey by the game clock,
# and the comparison of two builds, which needs a changed plug-in built beside this one.
file(GLOB EMBERLANE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*_test.cpp)
list(REMOVE_ITEM EMBERLANE_TEST_SOURCES ${PROJECT_SOURCE_DIR}/tests/keyboard_test.cpp
    ${PROJECT_SOURCE_DIR}/tests/compare_test.cpp)
add_executable(emberlane-tests ${EMBERLANE_TEST_SOURCES})
target_link_libraries(emberlane-tests PRIVATE emberlane_sim gmock gtest gtest_main)
target_compile_definitions(emberlane-tests PRIVATE EMBERLANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
target_link_options(emberlane-tests PRIVATE -static -static-libgcc -static-libstdc++)
add_dependencies(emberlane-tests emberlane_asi standin_hook)

add_executable(emberlane-sim tools/emberlane_sim.cpp)
target_link_libraries(emberlane-sim PRIVATE emberlane_sim)
target_compile_definitions(emberlane-sim PRIVATE EMBERLANE_DIST_DIR="${PROJECT_SOURCE_DIR}/dist")
target_link_options(emberlane-sim PRIVATE -static -static-libgcc -static-libstdc++)
add_dependencies(emberlane-sim emberlane_asi standin_hook)

set(EMBERLANE_WINE ${PROJECT_SOURCE_DIR}/cmake/wine-run)
add_test(NAME windows.asi-imports-and-exports
    COMMAND ${PROJECT_SOURCE_DIR}/tests/check_asi_tables ${EMBERLANE_OBJDUMP}
            $<TARGET_FILE:emberlane_asi> $<TARGET_FILE:standin_hook>)
add_test(NAME windows.behaviour-suite-under-wine
    COMMAND ${EMBERLANE_WINE} $<TARGET_FILE:emberlane-tests>
            --gtest_filter=-RestMenu.AReleaseIsAnsweredOnlyByAPassWithin100msOfIt:RestMenu.AReleaseDuringTheExitWaitCountsOnlyWithin100msOfItsEnd:Entry.ThreadNotifications*
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
add_test(NAME windows.walkthrough-under-wine
    COMMAND ${EMBERLANE_WINE} $<TARGET_FILE:emberlane-sim> --quiet
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
set_tests_properties(windows.walkthrough-under-wine PROPERTIES
    PASS_REGULAR_EXPRESSION "passes in 04:12")

# What a player downloads: the .asi, its two files, the translations and the install guide.
set(EMBERLANE_RELEASE Emberlane-${PROJECT_VERSION}-win64)
set(EMBERLANE_RELEASE_ZIP ${CMAKE_BINARY_DIR}/${EMBERLANE_RELEASE}.zip)
add_custom_command(OUTPUT ${EMBERLANE_RELEASE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${EMBERLANE_RELEASE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${EMBERLANE_RELEASE}
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:emberlane_asi> ${PROJECT_SOURCE_DIR}/dist/Emberlane.ini
            ${PROJECT_SOURCE_DIR}/dist/Emberlane.dat ${PROJECT_SOURCE_DIR}/dist/INSTALL.txt ${EMBERLANE_RELEASE}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/dist/translations
            ${EMBERLANE_RELEASE}/translations
    COMMAND ${CMAKE_COMMAND} -E tar cf ${EMBERLANE_RELEASE_ZIP} --format=zip ${EMBERLANE_RELEASE}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS emberlane_asi ${PROJECT_SOURCE_DIR}/dist/Emberlane.ini ${PROJECT_SOURCE_DIR}/dist/Emberlane.dat
            ${PROJECT_SOURCE_DIR}/dist/INSTALL.txt
    COMMENT "Packing ${EMBERLANE_RELEASE}.zip")
add_custom_target(release ALL DEPENDS ${EMBERLANE_RELEASE_ZIP})
add_test(NAME windows.release-archive
    COMMAND ${PROJECT_SOURCE_DIR}/tests/check_release ${EMBERLANE_RELEASE_ZIP} ${PROJECT_SOURCE_DIR}/dist
            ${EMBERLANE_OBJDUMP} $<TARGET_FILE:standin_hook>)
