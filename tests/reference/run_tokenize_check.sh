#!/bin/sh
# Differential check of the text input: random inputs of all eight formats are
# read by tavora-cli and by the independent reference tokenizer
# (tokenize_ref.py); word and lemma counts, document names and per-document
# token, type and autosemantic counts must agree.
#
# Usage: run_tokenize_check.sh BUILD_DIR [CASES] [SEED] [FORMAT...]
#   CASES  random cases per format (default 200)
#   SEED   seed of the generator (default 1); the same seed gives the same inputs
# Exits non-zero on any difference; the differing inputs are kept and named.
#
# TAVORA_REF_TRIM_FIRST=1 makes the reference trim an item before removing U+FEFF
# instead of after it (see tokenize_ref.clean).
set -eu
if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [CASES] [SEED] [FORMAT...]" >&2
  exit 2
fi
build=$1
cases=${2:-200}
seed=${3:-1}
[ $# -ge 3 ] && shift 3 || shift $#
cli="$build/src/cli/tavora-cli"
if [ ! -x "$cli" ]; then
  echo "$0: $cli not found; build the target tavora-cli first" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
exec python3 "$here/check_tokenize.py" "$cli" "$cases" "$seed" "$@"
