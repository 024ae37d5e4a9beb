# Builds the release's label files into the plug-in, so that the prompts speak the game's
# language without a file of the player's: a C++ source with each file's bytes, in the order of
# the numbers the game gives its languages. Translators edit the files; this keeps the two alike.
#   -D DIST=<dist folder> -D LANGUAGES=<codes, comma-separated, in the game's order> -D OUT=<file>
foreach(var DIST LANGUAGES OUT)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "embed-labels: ${var} not given")
    endif()
endforeach()
string(REPLACE "," ";" languages "${LANGUAGES}")

set(sets "")
foreach(code IN LISTS languages)
    file(READ ${DIST}/translations/${code}/Emberlane.dat hex HEX)
    string(LENGTH "${hex}" length)
    math(EXPR size "${length} / 2")
    # Every byte escaped, so that no escape runs on into the letter after it.
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
    string(APPEND sets "    {\"${code}\", \"${escaped}\", ${size}},\n")
endforeach()

list(LENGTH languages count)
file(CONFIGURE OUTPUT ${OUT} CONTENT [[
// Made by cmake/embed-labels.cmake from dist/translations/*/Emberlane.dat: edit those files.
#include "prompts/labels.h"

const std::array<BuiltInLabels, gameLanguages> builtInLabelSets = {{
@sets@}};
static_assert(gameLanguages == @count@);
]] @ONLY)
