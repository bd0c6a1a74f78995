#!/usr/bin/env bash
# Measures the bundled sample corpus (data/) in its three formats with every family of
# result files, and prints the averages per document.
#   scripts/run-sample.sh BUILD_DIR
# Results go to out/sample/<format>/ (or to $TAVORA_SAMPLE_OUT/<format>/).
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: scripts/run-sample.sh BUILD_DIR}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
cli="$build/src/cli/tavora-cli"
out="${TAVORA_SAMPLE_OUT:-$root/out/sample}"

if [ ! -x "$cli" ]; then
  echo "run-sample: $cli not found; build first (make build)" >&2
  exit 1
fi

window=50  # the sample texts have about 260 words each
measures="types,hapax,perplexity,rrr,length,ttr,entropy"
outputs="averages,distributions,series,wholetexts"

cd "$root"  # documents are named by their paths under data/
rm -rf "$out"
"$cli" measure -f plain -w "$window" -m "$measures" --outputs "$outputs" \
  -o "$out/plain" data/plain >/dev/null
"$cli" measure -f vertical --kinds word,lemma -w "$window" -m "$measures,autosemantics" \
  --outputs "$outputs" -o "$out/vertical" data/vertical/stories.vert >/dev/null
"$cli" measure -f conllu --kinds word,lemma -w "$window" -m "$measures,autosemantics" \
  --outputs "$outputs" -o "$out/conllu" data/conllu/letters.conllu >/dev/null

# One averages file as an aligned table: BOM, CR and quotes removed, short file names.
print_table() {
  awk -F'","' '
    { sub(/^\xEF\xBB\xBF/, ""); sub(/\r$/, ""); gsub(/^"|"$/, "")
      if (NR > 1) { n = split($1, parts, "/"); $1 = parts[n] }
      for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) }
      if (NF > cols) cols = NF; rows = NR }
    END {
      for (r = 1; r <= rows; r++) {
        line = "  "
        for (i = 1; i <= cols; i++)
          line = line sprintf(i <= 2 ? "%-*s  " : "%*s  ", w[i], cell[r, i])
        sub(/ +$/, "", line); print line
      }
    }' "$1"
}

echo "Measured the sample corpus (window $window): results are in $out/"
for format in plain vertical conllu; do
  for kind in Word Lemma; do
    file="$out/$format/Averages$kind$window.csv"
    [ -f "$file" ] || continue
    echo
    echo "$format, $(basename "$file"):"
    print_table "$file"
  done
done
