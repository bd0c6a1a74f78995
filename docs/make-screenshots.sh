#!/usr/bin/env bash
# Renders the main window in its two tasks to docs/images/*.png with the real program
# on the offscreen platform (no display needed).
#   bash docs/make-screenshots.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD="${1:-build}"
cmake --build "$BUILD" --target tavora_screenshots -j 2
mkdir -p docs/images
QT_QPA_PLATFORM=offscreen "$BUILD/tests/app/tavora_screenshots" docs/images
ls -l docs/images/*.png
