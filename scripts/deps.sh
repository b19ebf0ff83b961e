#!/usr/bin/env bash
# Installs every package the project needs on Debian 12. Quick when all is present.
set -euo pipefail

packages=(
    # build
    build-essential cmake ninja-build pkg-config git clang libclang-rt-14-dev clang-format
    # Qt 6 (its D-Bus module comes with the base) and the engines
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools qt6-webchannel-dev
    qt6-svg-dev qt6-translations-l10n libqt6opengl6-dev libgl-dev libgl1-mesa-dri libmpv-dev
    # Qt's platform headers: the widget tests switch accessibility on without a screen reader
    qt6-base-private-dev
    libxcb1-dev libx11-dev
    # Qt Qml, whose script engine runs pinyin-pro for the read-along's pinyin
    qt6-declarative-dev
    # network and formats
    libcurl4-openssl-dev libxml2-dev libxml2-utils libcpp-httplib-dev liblzma-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    # ActionScript 3 test movies
    haxe
    # a display for end-to-end tests and screenshots
    xvfb xauth x11-utils imagemagick openbox
    # a private session bus for the media-session tests (dbus-run-session, dbus-send)
    dbus-daemon dbus-bin
    # the accessibility bus and a reader of it, and key presses, for the screen-reader test;
    # the screen reader Orca and the speech server it talks to
    at-spi2-core python3-pyatspi xdotool orca speech-dispatcher
    # demo media and Chinese text
    ffmpeg espeak-ng fonts-wqy-zenhei
    # Unicode's Unihan data, from which the build makes the search's pinyin and simplified forms
    unicode-data bzip2
    # the Debian package: icons, desktop entry and metadata checks, ELF detection for shlibdeps,
    # Debian's checker
    librsvg2-bin desktop-file-utils appstream file lintian
    # a standard web server for the vendor's published site (end-to-end test)
    nginx-light
    # Wayland: Qt's platform plugin, and weston (headless) for the tests
    qt6-wayland weston
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
done
# Node.js and npm (for the Flash engine's files) may come from elsewhere than Debian; only a
# missing command is installed.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)

if ((${#missing[@]} == 0)); then
    exit 0
fi

echo "deps: installing ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
