#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds everything and then either runs the
# recorder ("run") or every test ("test").
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ qt6-base-dev libjpeg62-turbo-dev libgtest-dev fonts-dejavu-core libcups2-dev)
# The tests start a CUPS server of their own (a queue that rejects jobs).
if [[ "${1:-}" == test ]]; then
  packages+=(cups-daemon cups-client)
fi
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
    exec build/bin/Pelk_RadaDazi
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    status=0
    ctest --test-dir build --output-on-failure -j "$(nproc)" || status=1
    # The same tests again under AddressSanitizer and UndefinedBehaviorSanitizer
    # (the ThreadSanitizer programs, label "tsan", cannot take part).
    cmake -S . -B build-asan -G Ninja -DRM_SANITIZE=address -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_C_FLAGS_DEBUG="-O1 -g"
    cmake --build build-asan --target rm_all_tests
    ctest --test-dir build-asan --output-on-failure -j "$(nproc)" -LE tsan || status=1
    exit "$status"
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
