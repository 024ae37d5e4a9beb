# shellcheck shell=bash disable=SC2034 # sourced: the variables are for the checks
# Shared by the MSVC-style checks: finds the LLVM tools that play an MSVC toolchain on Linux
# (clang-cl for cl, lld-link for link, llvm-rc, llvm-mt) and configures the project with them
# as a Windows host's MSVC build would be configured. There is no Windows SDK here, so the
# compiler is tried by making a static library, which needs no SDK library to link.
src=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
here=$src/tests/msvc_style
llvm_bin=$(llvm-config --bindir 2>/dev/null || true)

find_tool() {
    command -v "$1" && return
    if [ -n "$llvm_bin" ] && [ -x "$llvm_bin/$1" ]; then echo "$llvm_bin/$1"; return; fi
    echo "msvc-style: $1 not found (Debian: clang-tools lld llvm ninja-build)" >&2
    return 1
}
clang_cl=$(find_tool clang-cl)
lld_link=$(find_tool lld-link)
llvm_lib=$(find_tool llvm-lib)
llvm_rc=$(find_tool llvm-rc)
llvm_mt=$(find_tool llvm-mt)
llvm_objdump=$(find_tool llvm-objdump)
find_tool ninja >/dev/null

# The librarian for the hook's import library: the build finds lib.exe; llvm-lib reads no .def
# before LLVM 15, but lld-link given a .def and no objects writes the same import library.
librarian=$lld_link

msvc_style_configure() { # build folder, further cache entries...
    local build=$1
    shift
    rm -rf "$build"
    cmake -S "$src" -B "$build" -G Ninja --no-warn-unused-cli \
        -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=AMD64 \
        -DCMAKE_C_COMPILER="$clang_cl" -DCMAKE_CXX_COMPILER="$clang_cl" \
        -DCMAKE_LINKER="$lld_link" -DCMAKE_AR="$llvm_lib" \
        -DCMAKE_RC_COMPILER="$llvm_rc" -DCMAKE_MT="$llvm_mt" \
        -DCMAKE_TRY_COMPILE_TARGET_TYPE=STATIC_LIBRARY \
        -DCMAKE_BUILD_TYPE=Release -DEMBERLANE_WERROR=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
        -DEMBERLANE_LIB="$librarian" "$@"
}
