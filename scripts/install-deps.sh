#!/usr/bin/env bash
# Installs every Debian 12 package the project needs (engine, program, tests, benchmarks).
# Does nothing when all are present; safe to run any number of times.
set -euo pipefail

# qtdeclarative5-dev brings qtdeclarative5-dev-tools, whose qmlcachegen compiles the
# program's QML ahead of time. dbus-daemon gives the start-up benchmark its session bus.
# qttranslations5-l10n holds Qt's own texts (file dialogs, buttons) in the interface languages.
PKGS=(
  g++ cmake ninja-build pkg-config
  libsqlite3-dev zlib1g-dev libssl-dev libjsoncpp-dev
  libgtest-dev googletest libbenchmark-dev
  qtbase5-dev qtdeclarative5-dev qtquickcontrols2-5-dev
  qml-module-qtquick2 qml-module-qtquick-controls qml-module-qtquick-controls2
  qml-module-qtgraphicaleffects qml-module-qtquick-dialogs qml-module-qtquick-window2
  qml-module-qtquick-layouts qml-module-qtqml-models2 qml-module-qttest
  qtmultimedia5-dev qml-module-qtmultimedia libqt5multimedia5-plugins
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good libqt5sensors5-dev
  qtwebengine5-dev qml-module-qtwebengine libqt5sql5-sqlite
  qttools5-dev qttools5-dev-tools qttranslations5-l10n libzxing-dev libx11-dev libxcb1-dev
  xvfb xauth dbus-daemon imagemagick fonts-wqy-microhei iputils-ping openssl
)

missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null | grep -qx installed || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
