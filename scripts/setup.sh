#!/usr/bin/env bash
# Installs the Debian packages Tavora needs, only those that are missing.
# Safe to run again; uses sudo when not run as root.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libicu-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev
  libsqlite3-dev
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
  time python3
  clang libclang-rt-14-dev clang-format clang-tidy
  pybind11-dev python3-dev python3-numpy python3-pandas python3-pytest
  python3-dask python3-distributed python3-pip python3-venv
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
