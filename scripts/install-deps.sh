#!/usr/bin/env bash
# Installs every Debian 12 package the project needs to build, test, benchmark and run.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev libgl-dev fonts-dejavu-core
    libmpg123-dev libpulse-dev pulseaudio pulseaudio-utils libtag1-dev eyed3
    libgtest-dev libgmock-dev clang libclang-rt-14-dev clang-format
    lame twolame shineenc sox espeak-ng ffmpeg mpg123 mp3val mp3splt
    hyperfine time python3
    xvfb xauth xdotool dbus at-spi2-core python3-pyatspi imagemagick
    librsvg2-bin desktop-file-utils appstream lintian man-db
    openssl ca-certificates
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
