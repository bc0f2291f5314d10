#!/usr/bin/env bash
# Installs the Debian packages Quillnote needs, only those that are missing.
# Usage: scripts/install-deps.sh run|test
set -euo pipefail

build_pkgs=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-multimedia-dev libsndfile1-dev
            libcups2-dev libical-dev qtkeychain-qt6-dev libsecret-1-0
            libpulse-dev libfluidsynth-dev timgm6mb-soundfont libzip-dev zipcmp zipmerge ziptool
            libgl-dev libxcb1-dev libx11-dev help2man
            fonts-dejavu-core fonts-liberation2 fonts-wine)
test_pkgs=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev clang-format clang-tidy git
           xvfb xauth xdotool x11-utils imagemagick jwm xcompmgr weston xwayland
           pulseaudio pulseaudio-utils cups printer-driver-cups-pdf cups-filters poppler-utils
           desktop-file-utils appstream dpkg-dev file
           lintian
           qt6-base-private-dev
           dbus-daemon dbus-bin at-spi2-core python3-pyatspi libglib2.0-bin
           radicale apache2-utils curl gnome-keyring openssl)

case "${1:-run}" in
    run) wanted=("${build_pkgs[@]}") ;;
    test) wanted=("${build_pkgs[@]}" "${test_pkgs[@]}") ;;
    *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for p in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}; run this as root (or install them) first." >&2
    exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Another apt may hold the dpkg lock for a while on a fresh machine: wait and retry.
for attempt in 1 2 3 4 5 6; do
    if apt-get update -qq && apt-get install -y -qq --no-install-recommends "${missing[@]}"; then
        exit 0
    fi
    echo "apt-get failed (attempt $attempt); retrying in 15 s" >&2
    sleep 15
done
echo "Could not install: ${missing[*]}" >&2
exit 1
