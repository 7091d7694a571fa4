#!/usr/bin/env bash
# Sourced by the bench scripts: the tools they compare with and the camera-like picture they run on.
# A 4000 x 3000 JPEG at quality 92 with fine detail and sensor-like noise, about 5 MB as from a camera:
# smooth generated pictures decode several times faster than photographs and would flatter every loader.
# ImageMagick makes it the same each time (fixed seed, one thread); it is kept in the build folder.

# Installs whichever of the Debian packages is missing; a package that cannot be installed is left out.
bench_install() {
    local package
    for package in "$@"; do
        if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            continue
        fi
        echo "Installing $package"
        korvilane_as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$package" >/dev/null ||
            echo "$package could not be installed: left out" >&2
    done
}

# ImageMagick's own convert (another program of that name may come first on PATH).
bench_magick() {
    local name
    for name in magick convert-im6.q16 convert-im6 convert; do
        if command -v "$name" >/dev/null 2>&1; then
            echo "$name"
            return
        fi
    done
    echo "ImageMagick is missing" >&2
    return 1
}

# Prints the path of the camera-like JPEG, making it first when the build folder lacks it.
bench_camera_jpeg() {
    local build=$1
    local picture=$build/bench/camera-4000x3000-q92.jpg
    if [ ! -s "$picture" ]; then
        local magick
        magick=$(bench_magick)
        mkdir -p "$build/bench"
        echo "Making the camera-like picture ..." >&2
        MAGICK_THREAD_LIMIT=1 "$magick" -seed 7 -size 4000x3000 plasma:fractal -blur 0x1 -attenuate 0.3 \
            +noise Gaussian -quality 92 "jpg:$picture.part"
        mv "$picture.part" "$picture"
    fi
    echo "$picture"
}
