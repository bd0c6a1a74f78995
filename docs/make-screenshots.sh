#!/usr/bin/env bash
# Renders the main window in its two tasks, and the series and distribution charts of the
# sample corpus, to docs/images/*.png with the real program on the offscreen platform (no
# display needed).
#   bash docs/make-screenshots.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
cmake --build "$BUILD" --target tavora_screenshots tavora-cli -j 2
mkdir -p docs/images
RESULTS="$(mktemp -d)"
trap 'rm -rf "$RESULTS"' EXIT
"$BUILD/src/cli/tavora-cli" measure data/plain -w 50 -o "$RESULTS" \
  --outputs series,distributions,averages >/dev/null
QT_QPA_PLATFORM=offscreen "$BUILD/tests/app/tavora_screenshots" docs/images "$RESULTS"
ls -l docs/images/*.png
