#!/usr/bin/env bash
# Fails when a source file is not formatted as the repository's .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
find src tests benchmarks \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run -Werror
