#!/usr/bin/env bash
# Makes the Windows installer, Quillmast-<version>-setup.exe, in BUILD_DIR
# (build-installer/ unless given): cross-builds quillmast.exe there with
# mingw-w64 (a new folder is a Release build; a configured one, such as the
# tests' build-windows/, is taken as it is) and packs it with CPack's NSIS
# generator (packaging/windows/). Installs what it lacks; prints the
# installer's path and size.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-installer}
# GoogleTest's sources because every Windows build configures them;
# ImageMagick draws the program's resources.
scripts/install-deps.sh cmake make g++-mingw-w64-i686-posix nsis googletest imagemagick

config=()
[ -f "$dir/CMakeCache.txt" ] ||
    config=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release
            -DQM_BUILD_GUI=OFF)
# CPack then installs what is built without building the rest (the tests).
cmake -S . -B "$dir" "${config[@]}" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$dir" --target quillmast -j2
(cd "$dir" && cpack -G NSIS >/dev/null)
setup=$(ls "$dir"/Quillmast-*-setup.exe)
echo "installer: $setup ($(stat -c %s "$setup") bytes)"
