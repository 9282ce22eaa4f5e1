#!/usr/bin/env bash
# Generates the German and French locales the tests run the money and payoff checks under;
# nothing when both are present. Needs the `locales` package (./test has ensure-deps install it).
set -euo pipefail
missing=()
for l in de_DE fr_FR; do
  locale -a 2>/dev/null | grep -qix "$l.utf-\?8" || missing+=("$l")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing locales: ${missing[*]}"
  echo -n "Run as root:"
  for l in "${missing[@]}"; do echo -n " localedef -i $l -c -f UTF-8 $l.UTF-8;"; done
  echo
  exit 1
fi
for l in "${missing[@]}"; do localedef -i "$l" -c -f UTF-8 "$l.UTF-8"; done
