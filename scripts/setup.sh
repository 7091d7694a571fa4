#!/usr/bin/env bash
# Installs what building and testing korvilane needs on a Debian machine; quick when all is there.
# Sourced by test.sh and run.sh.
set -euo pipefail

korvilane_packages=(
    cmake make
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth googletest gcab locales
    fonts-wine fonts-ipafont-gothic fonts-ipafont-mincho
)

korvilane_as_root() {
    if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

korvilane_missing_packages() {
    local package
    for package in "${korvilane_packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            echo "$package"
        fi
    done
}

korvilane_setup() {
    local missing
    missing=$(korvilane_missing_packages)
    if [ -n "$missing" ]; then
        echo "Installing: $(echo $missing)"
        korvilane_as_root apt-get update -qq
        # shellcheck disable=SC2086
        korvilane_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
    fi
    # The tests run under the Japanese locale: ANSI code page 932, as on Japanese Windows.
    if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
        echo "Generating the ja_JP.UTF-8 locale"
        korvilane_as_root sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
        grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | korvilane_as_root tee -a /etc/locale.gen >/dev/null
        korvilane_as_root locale-gen >/dev/null
    fi
}

# Configures and builds the given targets (all when none) in the build folder.
korvilane_build() {
    local root=$1 build=$2
    shift 2
    if [ ! -f "$build/CMakeCache.txt" ]; then
        cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw64.cmake" \
            -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    local targets=()
    local target
    for target in "$@"; do targets+=(--target "$target"); done
    cmake --build "$build" -j "$(nproc)" "${targets[@]}"
}
