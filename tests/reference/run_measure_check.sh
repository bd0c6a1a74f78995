#!/bin/sh
# Differential check of tavora-cli measure against the Python reference over random cases.
# usage: run_measure_check.sh BUILD_DIR [CASES] [SEED]
# Exits non-zero when any result file differs from the reference (also on last-digit
# near-misses; set ALLOW_NEAR=1 to accept those). Not part of ctest.
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [CASES] [SEED]" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
cli="$1/src/cli/tavora-cli"
[ -x "$cli" ] || { echo "$0: no executable $cli" >&2; exit 2; }
# Run a private copy so that a rebuild during the check does not disturb it.
snap=$(mktemp "${TMPDIR:-/tmp}/tavora-cli-check.XXXXXX")
trap 'rm -f "$snap"' EXIT INT TERM
cp "$cli" "$snap"
chmod +x "$snap"
extra=""
[ "${ALLOW_NEAR:-0}" = 1 ] && extra="--allow-near"
python3 "$here/check_measure.py" "$snap" "${2:-200}" "${3:-1}" $extra
