#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds everything and then either runs the
# recorder ("run") or every test ("test").
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ qt6-base-dev libjpeg62-turbo-dev libgtest-dev fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build

case "${1:-}" in
  run)
    if [[ -x build/bin/Pelk_RadaDazi ]]; then
      exec build/bin/Pelk_RadaDazi
    fi
    echo "Everything is built in build/bin; the recorder's main window is not part of this build yet."
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir build --output-on-failure -j "$(nproc)"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
