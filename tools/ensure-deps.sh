#!/usr/bin/env bash
# Installs the build tools and Qt when any is missing; nothing when all are present. Extra package
# names given as arguments are wanted too (./test adds GoogleTest, the X server and xdotool;
# ./bench adds the benchmark library).
set -euo pipefail
pkgs="cmake g++ qt6-base-dev libcups2-dev $*"
missing=""
for p in $pkgs; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
cmd="apt-get update && apt-get install -y$missing"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages:$missing"
  echo "Run as root: $cmd"
  exit 1
fi
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y $missing
