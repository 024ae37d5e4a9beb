# Stands in for a Windows GoogleTest package (vcpkg's, MSYS2's) in the MSVC-style configure
# check, which generates the build and never runs it: the targets by their names, empty.
foreach(lib gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${lib})
        add_library(GTest::${lib} INTERFACE IMPORTED)
    endif()
endforeach()
