#!/usr/bin/env bash
# Configures and builds into build/ (Release). Arguments before `--target` go to the configure
# step (cache settings such as -DVANTROPE_TESTS=OFF); `--target NAME` builds that target alone.
set -euo pipefail
cd "$(dirname "$0")/.."
config=()
build=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--target" ] && [ $# -ge 2 ]; then
    build+=(--target "$2")
    shift 2
  else
    config+=("$1")
    shift
  fi
done
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${config[@]}"
cmake --build build -j"$(nproc)" "${build[@]}"
