# The Windows build, with MSVC or with MinGW-w64, natively or cross-built: Emberlane.asi and the
# release archive, which need nothing but the compiler's own tools. The stand-in
# ScriptHookRDR2.dll, the behaviour suite and the simulator follow when GoogleTest is at hand.
enable_language(RC)

get_filename_component(EMBERLANE_TOOLS_DIR "${CMAKE_CXX_COMPILER}" DIRECTORY)

if(MSVC)
    # The sources are UTF-8 and standard C++; MSVC assumes neither unless told.
    add_compile_options(/permissive- /utf-8)
    # A player's machine may lack the Visual C++ redistributable: the runtime is linked in.
    # Test programs may be given another (their GoogleTest's); the .asi keeps this one.
    if(NOT DEFINED CMAKE_MSVC_RUNTIME_LIBRARY)
        set(CMAKE_MSVC_RUNTIME_LIBRARY MultiThreaded)
    endif()
endif()

# Import library for the script hook, which exports its eight functions under MSVC-decorated
# C++ names. lib.exe reads host/ScriptHookRDR2.def, which lists those names; MinGW's dlltool
# reads host/ScriptHookRDR2.mingw.def, which maps the GNU build's plain C names onto them. It
# has a folder of its own: the stand-in hook's import library has the same name.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/hook)
if(MSVC)
    find_program(EMBERLANE_LIB NAMES lib llvm-lib HINTS "${EMBERLANE_TOOLS_DIR}" NAMES_PER_DIR
        REQUIRED DOC "The librarian that makes the hook's import library from its .def")
    set(EMBERLANE_HOOK_DEF ${PROJECT_SOURCE_DIR}/host/ScriptHookRDR2.def)
    set(EMBERLANE_HOOK_IMPORTS ${CMAKE_BINARY_DIR}/hook/ScriptHookRDR2.lib)
    add_custom_command(OUTPUT ${EMBERLANE_HOOK_IMPORTS}
        COMMAND ${EMBERLANE_LIB} /nologo /machine:x64 /def:${EMBERLANE_HOOK_DEF}
                /out:${EMBERLANE_HOOK_IMPORTS}
        DEPENDS ${EMBERLANE_HOOK_DEF} VERBATIM)
else()
    find_program(EMBERLANE_DLLTOOL NAMES x86_64-w64-mingw32-dlltool dlltool
        HINTS "${EMBERLANE_TOOLS_DIR}" REQUIRED)
    set(EMBERLANE_HOOK_DEF ${PROJECT_SOURCE_DIR}/host/ScriptHookRDR2.mingw.def)
    set(EMBERLANE_HOOK_IMPORTS ${CMAKE_BINARY_DIR}/hook/libScriptHookRDR2.a)
    add_custom_command(OUTPUT ${EMBERLANE_HOOK_IMPORTS}
        COMMAND ${EMBERLANE_DLLTOOL} -m i386:x86-64 -d ${EMBERLANE_HOOK_DEF}
                -l ${EMBERLANE_HOOK_IMPORTS}
        DEPENDS ${EMBERLANE_HOOK_DEF} VERBATIM)
endif()
add_custom_target(emberlane_hook_imports DEPENDS ${EMBERLANE_HOOK_IMPORTS})

# A Windows program that needs nothing beside it but the system's own DLLs (and the hook).
# MSVC's runtime is chosen above, through CMAKE_MSVC_RUNTIME_LIBRARY.
function(emberlane_static_runtime target)
    if(NOT MSVC)
        target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
    endif()
endfunction()

configure_file(${PROJECT_SOURCE_DIR}/host/version.rc.in ${CMAKE_BINARY_DIR}/version.rc @ONLY)

add_library(emberlane_asi SHARED ${EMBERLANE_PLUGIN_SOURCES} ${EMBERLANE_LABELS_SOURCE}
    ${CMAKE_BINARY_DIR}/version.rc)
set_target_properties(emberlane_asi PROPERTIES PREFIX "" OUTPUT_NAME Emberlane SUFFIX ".asi")
target_include_directories(emberlane_asi PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(emberlane_asi PRIVATE EMBERLANE_VERSION=${PROJECT_VERSION})
add_dependencies(emberlane_asi emberlane_hook_imports)
target_link_libraries(emberlane_asi PRIVATE ${EMBERLANE_HOOK_IMPORTS})
emberlane_warnings(emberlane_asi)
emberlane_static_runtime(emberlane_asi)
# The .asi exports nothing: the hook learns of the script through its registration alone.
# What ships carries no symbols; they are kept beside it in the build folder for reading
# crash addresses (Emberlane.pdb from MSVC, Emberlane.asi.debug from MinGW).
if(MSVC)
    set_target_properties(emberlane_asi PROPERTIES
        MSVC_RUNTIME_LIBRARY MultiThreaded
        MSVC_DEBUG_INFORMATION_FORMAT ProgramDatabase)
    # /DEBUG turns off the release build's dead-code folding unless asked for again; the
    # .asi names its PDB without the folder it was built in.
    target_link_options(emberlane_asi PRIVATE /DEBUG /OPT:REF /OPT:ICF /PDBALTPATH:%_PDB%)
else()
    target_link_options(emberlane_asi PRIVATE -Wl,--exclude-all-symbols)
    find_program(EMBERLANE_OBJCOPY NAMES x86_64-w64-mingw32-objcopy objcopy
        HINTS "${EMBERLANE_TOOLS_DIR}" REQUIRED)
    add_custom_command(TARGET emberlane_asi POST_BUILD
        COMMAND ${EMBERLANE_OBJCOPY} --only-keep-debug $<TARGET_FILE:emberlane_asi>
                $<TARGET_FILE:emberlane_asi>.debug
        COMMAND ${EMBERLANE_OBJCOPY} --strip-all $<TARGET_FILE:emberlane_asi>
        VERBATIM)
endif()

# What a player downloads, laid out as the game's root folder: the .asi and its settings, and a
# folder Emberlane/ with the translations, the install guide, the licence, the notices of the
# runtime linked into the .asi, and the hashes. Each toolchain links a runtime of its own, so
# the notices are those of the toolchain that built it.
set(EMBERLANE_RELEASE Emberlane-${PROJECT_VERSION}-win64)
if(MSVC)
    set(EMBERLANE_NOTICES ${PROJECT_SOURCE_DIR}/dist/notices/msvc.txt)
else()
    set(EMBERLANE_NOTICES ${PROJECT_SOURCE_DIR}/dist/notices/mingw-w64.txt)
endif()
set(EMBERLANE_RELEASE_ZIP ${CMAKE_BINARY_DIR}/${EMBERLANE_RELEASE}.zip)
file(GLOB_RECURSE EMBERLANE_TRANSLATIONS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/dist/translations/*)
add_custom_command(OUTPUT ${EMBERLANE_RELEASE_ZIP}
    COMMAND ${CMAKE_COMMAND} -D ASI=$<TARGET_FILE:emberlane_asi> -D DIST=${PROJECT_SOURCE_DIR}/dist
            -D LICENSE=${PROJECT_SOURCE_DIR}/LICENSE -D NOTICES=${EMBERLANE_NOTICES}
            -D RELEASE=${EMBERLANE_RELEASE} -D OUT=${CMAKE_BINARY_DIR}
            -P ${PROJECT_SOURCE_DIR}/cmake/pack-release.cmake
    DEPENDS emberlane_asi ${PROJECT_SOURCE_DIR}/cmake/pack-release.cmake
            ${PROJECT_SOURCE_DIR}/dist/Emberlane.ini ${PROJECT_SOURCE_DIR}/dist/INSTALL.txt
            ${EMBERLANE_TRANSLATIONS}
            ${PROJECT_SOURCE_DIR}/LICENSE ${EMBERLANE_NOTICES}
    COMMENT "Packing ${EMBERLANE_RELEASE}.zip" VERBATIM)
add_custom_target(release ALL DEPENDS ${EMBERLANE_RELEASE_ZIP})

if(NOT EMBERLANE_TESTS)
    return()
endif()

# GoogleTest: built from its sources when given them (the cross build on Linux), else found
# (vcpkg, MSYS2). Without it the plug-in and the release are all there is to build.
set(EMBERLANE_GTEST_SOURCE_DIR "" CACHE PATH "GoogleTest's sources, to build it with the tests")
if(EMBERLANE_GTEST_SOURCE_DIR)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    add_subdirectory(${EMBERLANE_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
    find_package(GTest)
    if(NOT GTest_FOUND)
        message(STATUS "GoogleTest not found: building Emberlane.asi and the release only, "
            "without the stand-in hook, the behaviour suite and emberlane-sim.exe. To have them, "
            "install GoogleTest (vcpkg: gtest; MSYS2: mingw-w64-x86_64-gtest) and configure again.")
        return()
    endif()
endif()
enable_testing()

# The stand-in hook: exports the eight decorated names and forwards them to the game process.
# The stand-in host of the tests defines the eight functions with C linkage, with every compiler.
add_library(standin_hook SHARED sim/standin/standin.cpp sim/standin/ScriptHookRDR2.def)
set_target_properties(standin_hook PROPERTIES PREFIX "" OUTPUT_NAME ScriptHookRDR2)
target_include_directories(standin_hook PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_definitions(standin_hook PRIVATE EMBERLANE_STANDIN_HOST)
emberlane_static_runtime(standin_hook)

add_library(emberlane_sim STATIC
    sim/chaos.cpp sim/coroutine_windows.cpp sim/game.cpp sim/host.cpp sim/loader_windows.cpp
    sim/native_table.cpp sim/printable.cpp sim/sim.cpp
    emberlane-sim/call_watcher.cpp emberlane-sim/chaos_game.cpp emberlane-sim/compare.cpp
    emberlane-sim/keys.cpp emberlane-sim/labels_file.cpp emberlane-sim/observer.cpp
    emberlane-sim/picture.cpp
    emberlane-sim/recording_file.cpp emberlane-sim/replay.cpp emberlane-sim/scene.cpp
    emberlane-sim/session.cpp emberlane-sim/settings_file.cpp emberlane-sim/timeline.cpp
    host/key_names.cpp host/profile_int.cpp prompts/labels.cpp ${EMBERLANE_LABELS_SOURCE})
target_include_directories(emberlane_sim PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(emberlane_sim PUBLIC EMBERLANE_STANDIN_HOST
    PRIVATE EMBERLANE_PLUGIN_PATH="Emberlane.asi")
emberlane_warnings(emberlane_sim)

# The behaviour suite, the same files as on Linux, less the one that tests the Linux host itself
# (the in-process key table on the simulated tick count), and the comparison of two builds and
# the recording's own tests, which need a changed plug-in built beside this one (the recording
# is tested across the boundary below instead), and the replay of strangers' files, which is
# the Linux build's work (recordings are replayed there). The stand-in game points the .asi's
# tick count at its clock, so the hotkey is timed by game time here too.
file(GLOB EMBERLANE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/*_test.cpp)
list(REMOVE_ITEM EMBERLANE_TEST_SOURCES ${PROJECT_SOURCE_DIR}/tests/keyboard_test.cpp
    ${PROJECT_SOURCE_DIR}/tests/compare_test.cpp ${PROJECT_SOURCE_DIR}/tests/recording_test.cpp
    ${PROJECT_SOURCE_DIR}/tests/replay_test.cpp)
# The label file and the call layer are also tested in-process: the label reader, and the
# recorder whose link the call layer goes through.
add_executable(emberlane-tests ${EMBERLANE_TEST_SOURCES} prompts/label_file.cpp host/recording.cpp)
target_link_libraries(emberlane-tests PRIVATE emberlane_sim GTest::gmock GTest::gtest GTest::gtest_main)
target_compile_definitions(emberlane-tests PRIVATE EMBERLANE_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
emberlane_static_runtime(emberlane-tests)
add_dependencies(emberlane-tests emberlane_asi standin_hook)

add_executable(emberlane-sim emberlane-sim/emberlane_sim.cpp)
target_link_libraries(emberlane-sim PRIVATE emberlane_sim)
target_compile_definitions(emberlane-sim PRIVATE
    EMBERLANE_SCENES_DIR="${PROJECT_SOURCE_DIR}/scenes")
emberlane_static_runtime(emberlane-sim)
add_dependencies(emberlane-sim emberlane_asi standin_hook)

# The same tests natively and cross-built; a cross build runs the programs through its
# toolchain's emulator (Wine).
add_test(NAME windows.behaviour-suite
    COMMAND emberlane-tests
            --gtest_filter=-Entry.ThreadNotifications*
    WORKING_DIRECTORY $<TARGET_FILE_DIR:emberlane_asi>)
add_test(NAME windows.walkthrough
    COMMAND emberlane-sim --quiet
    WORKING_DIRECTORY $<TARGET_FILE_DIR:emberlane_asi>)
# The plug-in line reads the .asi's version from its version resource.
set_tests_properties(windows.walkthrough PROPERTIES PASS_REGULAR_EXPRESSION
    "Emberlane\\.asi \\(Emberlane ${PROJECT_VERSION}, file dated .*passes in 04:12")

# The import and export tables and the archive are read with GNU objdump, by shell scripts.
find_program(EMBERLANE_OBJDUMP NAMES x86_64-w64-mingw32-objdump objdump HINTS "${EMBERLANE_TOOLS_DIR}")
find_program(EMBERLANE_BASH NAMES bash)
if(NOT EMBERLANE_OBJDUMP OR NOT EMBERLANE_BASH)
    message(STATUS "GNU objdump or bash not found: the checks of the .asi's tables and of the "
        "release archive are left out (MSYS2 has both).")
    return()
endif()
add_test(NAME windows.asi-imports-and-exports
    COMMAND ${EMBERLANE_BASH} ${PROJECT_SOURCE_DIR}/tests/check_asi_tables ${EMBERLANE_OBJDUMP}
            $<TARGET_FILE:emberlane_asi> $<TARGET_FILE:standin_hook>)
set(EMBERLANE_RELEASE_CHECK ${EMBERLANE_RELEASE_ZIP} ${PROJECT_SOURCE_DIR}/dist ${EMBERLANE_OBJDUMP}
    $<TARGET_FILE:standin_hook> ${EMBERLANE_NOTICES})
# MinGW's debug file shows which parts of its runtime the .asi holds; MSVC's PDB is not read.
if(NOT MSVC)
    list(APPEND EMBERLANE_RELEASE_CHECK $<TARGET_FILE:emberlane_asi>.debug)
    add_test(NAME windows.release-check-refuses
        COMMAND ${EMBERLANE_BASH} ${PROJECT_SOURCE_DIR}/tests/check_release_refuses
                ${EMBERLANE_RELEASE_CHECK})
endif()
add_test(NAME windows.release-archive
    COMMAND ${EMBERLANE_BASH} ${PROJECT_SOURCE_DIR}/tests/check_release ${EMBERLANE_RELEASE_CHECK})
# The archive as a player installs it: extracted into an empty folder that stands for the
# game's root, the .asi loaded from there with the settings it ships. Run in the .asi's folder,
# where a cross build keeps its Wine prefix.
add_test(NAME windows.release-installs-in-game-root
    COMMAND ${EMBERLANE_BASH} ${PROJECT_SOURCE_DIR}/tests/check_install
            "${CMAKE_CROSSCOMPILING_EMULATOR}" $<TARGET_FILE:emberlane-sim> ${EMBERLANE_RELEASE_ZIP}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:emberlane_asi>)

# Across the real boundary: scenes played with the .asi under Wine, recording on, and each
# recording replayed on Linux by the Linux build's emberlane-sim (the default preset's, which
# the windows preset names); the walkthrough's also by the Linux build's changed plug-in.
set(EMBERLANE_LINUX_BUILD "" CACHE PATH
    "A Linux build (the default preset's) whose emberlane-sim replays the .asi's recordings")
if(CMAKE_CROSSCOMPILING AND EMBERLANE_LINUX_BUILD)
    file(GLOB EMBERLANE_SCENES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/scenes/*.scene)
    foreach(scene walkthrough ${EMBERLANE_SCENES})
        get_filename_component(name ${scene} NAME_WE)
        set(altered "")
        if(scene STREQUAL "walkthrough")
            set(altered ${EMBERLANE_LINUX_BUILD}/tests/altered/Emberlane.so)
        endif()
        add_test(NAME windows.record-and-replay-${name}
            COMMAND ${EMBERLANE_BASH} ${PROJECT_SOURCE_DIR}/tests/check_replay
                    "${CMAKE_CROSSCOMPILING_EMULATOR}" $<TARGET_FILE:emberlane-sim>
                    ${EMBERLANE_LINUX_BUILD}/emberlane-sim/emberlane-sim ${scene} ${altered}
            WORKING_DIRECTORY $<TARGET_FILE_DIR:emberlane_asi>)
    endforeach()
endif()
