#!/usr/bin/env bash
# End-to-end benchmark of tavora-cli against `wc -w` over the same input.
# Usage: bash bench/run.sh [BUILD_DIR]
#   TAVORA_BENCH_DATA   where the generated corpora live (default /tmp/tavora-bench)
#   TAVORA_BENCH_SCALE  size factor of every corpus (default 1; 0.1 for a quick run)
# Corpora are generated, seeded, only when missing. Prints one table: input,
# settings, MB/s, tokens/s, peak resident memory and the time ratio to wc -w.
set -euo pipefail

BUILD=${1:-build}
HERE=$(cd "$(dirname "$0")" && pwd)
CLI=$BUILD/src/cli/tavora-cli
SCALE=${TAVORA_BENCH_SCALE:-1}
DATA=${TAVORA_BENCH_DATA:-/tmp/tavora-bench}/scale-$SCALE
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tavora-bench-run.XXXXXX")
trap 'rm -rf "$WORK"' EXIT

if [[ ! -x $CLI ]]; then
  echo "bench: $CLI not found; build the target tavora-cli first" >&2
  exit 1
fi
if [[ ! -x /usr/bin/time ]]; then
  echo "bench: /usr/bin/time is needed for peak memory (Debian package: time)" >&2
  exit 1
fi

echo "Corpora in $DATA (scale $SCALE); generating what is missing..." >&2
python3 "$HERE/gen_corpus.py" --out "$DATA" --scale "$SCALE"

# Files of a set (first N when given) and their bytes and tokens from the manifest.
files() { awk -F'\t' -v d="$DATA/$1" -v n="${2:-0}" 'n == 0 || NR <= n { print d "/" $1 }' "$DATA/$1/manifest.tsv"; }
bytes() { awk -F'\t' -v n="${2:-0}" 'n == 0 || NR <= n { s += $2 } END { print s }' "$DATA/$1/manifest.tsv"; }
tokens() { awk -F'\t' -v n="${2:-0}" 'n == 0 || NR <= n { s += $3 } END { print s }' "$DATA/$1/manifest.tsv"; }

# timed OUT_PREFIX cmd...: wall seconds and peak RSS (kB) of cmd into OUT_PREFIX.{s,kb}.
timed() {
  local out=$1
  shift
  local start end
  start=$(date +%s%N)
  if ! /usr/bin/time -v -o "$out.time" "$@" >"$out.stdout" 2>"$out.stderr"; then
    echo "bench: failed: $*" >&2
    tail -n 5 "$out.stderr" >&2
    return 1
  fi
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", (b - a) / 1e9 }' >"$out.s"
  awk -F': ' '/Maximum resident set size/ { print $2 }' "$out.time" >"$out.kb"
}

ROWS=()
# row LABEL SETTINGS BYTES TOKENS INPUT_FILES... -- tavora arguments...
row() {
  local label=$1 settings=$2 nbytes=$3 ntokens=$4
  shift 4
  local inputs=()
  while [[ $1 != -- ]]; do inputs+=("$1"); shift; done
  shift
  local id=$WORK/case${#ROWS[@]}
  echo "  $label: $settings" >&2
  timed "$id.wc" wc -w "${inputs[@]}"
  timed "$id.tv" "$CLI" "$@"
  ROWS+=("$(awk -v l="$label" -v st="$settings" -v b="$nbytes" -v t="$ntokens" \
    -v s="$(cat "$id.tv.s")" -v w="$(cat "$id.wc.s")" -v kb="$(cat "$id.tv.kb")" 'BEGIN {
      printf "%s\t%s\t%.1f\t%.0f\t%.1f\t%.2f\t%.2f", l, st, b / 1e6 / s, t / s, kb / 1024, s, s / w }')")
}

PLAIN_SET=types,perplexity,ttr
ALL_BUT_DIFFERENCE=tokens,types,hapax,perplexity,rrr,hill,cross-types,cross-perplexity,cross-rrr,cross-hill,length,autosemantics,ttr,log-ttr,root-ttr,entropy,cross-entropy,relative-entropy,repeat-rate,cross-repeat-rate,loglog-ttr,logloglog-ttr,relative-perplexity,relative-types,log-types,log-relative-types,renyi-entropy,renyi-cross-entropy,renyi-relative-entropy

echo "Running..." >&2
# (a) plain text at three sizes (5, 15 and 50 of the 50 files): cost should be linear.
for n in 5 15 50; do
  mapfile -t in < <(files plain "$n")
  mb=$(awk -v b="$(bytes plain "$n")" 'BEGIN { printf "%.0f", b / 1e6 }')
  row "a plain ${mb} MB" "w200 $PLAIN_SET; averages,wholetexts" "$(bytes plain "$n")" "$(tokens plain "$n")" \
    "${in[@]}" -- measure -f plain -o "$WORK/out-a$n" -w 200 -m "$PLAIN_SET" --outputs averages,wholetexts "${in[@]}"
done

# (d) frequency lists of word forms and lemmata; (b) then measures against them.
mapfile -t vin < <(files vertical)
row "d vertical freqlist" "word,lemma lists" "$(bytes vertical)" "$(tokens vertical)" \
  "${vin[@]}" -- freqlist -f vertical --kinds word,lemma \
  --word-list "$WORK/words.tsv" --lemma-list "$WORK/lemmata.tsv" "${vin[@]}"
# The distribution files of (b) are dense over every interval a document reaches, and the
# cross measures against a list of the same corpus reach tens of thousands at granularity
# 1: the output is about 350 times the input. Measure only as many files as the disk holds
# (and at most TAVORA_BENCH_B_MAX_GB of output, default 10).
nvert=$(wc -l <"$DATA/vertical/manifest.tsv")
avail=$(( $(df -Pk "$WORK" | awk 'NR == 2 { print $4 }') * 1024 * 8 / 10 ))
cap=$(( ${TAVORA_BENCH_B_MAX_GB:-10} * 1000000000 ))  # output written for (b) at most
(( avail > cap )) && avail=$cap
nb=$nvert
while (( nb > 1 && $(bytes vertical "$nb") * 350 > avail )); do nb=$((nb - 1)); done
mapfile -t bin < <(files vertical "$nb")
blabel="b vertical"
(( nb < nvert )) && blabel="b vertical ($nb of $nvert files)"
row "$blabel" "w200 word,lemma; all but difference; averages,distributions,wholetexts" \
  "$(bytes vertical "$nb")" "$(tokens vertical "$nb")" "${bin[@]}" -- measure -f vertical --kinds word,lemma \
  -o "$WORK/out-b" -w 200 -m "$ALL_BUT_DIFFERENCE" --outputs averages,distributions,wholetexts \
  --word-list "$WORK/words.tsv" --lemma-list "$WORK/lemmata.tsv" "${bin[@]}"
rm -rf "$WORK/out-b"

# (c) one large document with series output.
mapfile -t sin < <(files single)
row "c single file" "w200 $PLAIN_SET; averages,series" "$(bytes single)" "$(tokens single)" \
  "${sin[@]}" -- measure -f plain -o "$WORK/out-c" -w 200 -m "$PLAIN_SET" --outputs averages,series "${sin[@]}"
case_c=$WORK/case$((${#ROWS[@]} - 1))
csv_bytes=$(du -b "$WORK/out-c"/Serie1Word200.csv | cut -f1)
rm -rf "$WORK/out-c"

# (f) the same series into the results database instead, and (c0) the run without series:
# what writing the series costs in each.
row "c0 single file" "w200 $PLAIN_SET; averages" "$(bytes single)" "$(tokens single)" \
  "${sin[@]}" -- measure -f plain -o "$WORK/out-c0" -w 200 -m "$PLAIN_SET" --outputs averages "${sin[@]}"
case_c0=$WORK/case$((${#ROWS[@]} - 1))
row "f single file database" "w200 $PLAIN_SET; averages,series,sqlite" "$(bytes single)" "$(tokens single)" \
  "${sin[@]}" -- measure -f plain -o "$WORK/out-f" -w 200 -m "$PLAIN_SET" --outputs averages,series,sqlite "${sin[@]}"
case_f=$WORK/case$((${#ROWS[@]} - 1))
db_bytes=$(du -b "$WORK/out-f/Tavora.sqlite" | cut -f1)
rm -rf "$WORK/out-f" "$WORK/out-c0"
SERIES=$(awk -v c="$(cat "$case_c.tv.s")" -v c0="$(cat "$case_c0.tv.s")" -v f="$(cat "$case_f.tv.s")" \
  -v cb="$csv_bytes" -v fb="$db_bytes" 'BEGIN {
    printf "Series of (c): CSV file %.2f s, %.0f MB; database %.2f s, %.0f MB; database / CSV time %.2f (target <= 1.5)",
      c - c0, cb / 1e6, f - c0, fb / 1e6, (f - c0) / (c - c0) }')

# (e) the edit-distance measure alone.
mapfile -t din < <(files difference)
row "e plain difference" "w200 difference; averages" "$(bytes difference)" "$(tokens difference)" \
  "${din[@]}" -- measure -f plain -o "$WORK/out-e" -w 200 -m difference --outputs averages "${din[@]}"

echo
{
  printf 'input\tsettings\tMB/s\ttokens/s\tpeak MB\tseconds\tx wc -w\n'
  printf '%s\n' "${ROWS[@]}"
} | column -t -s $'\t'
echo
echo "$SERIES"
echo "Targets: a and d <= 2x wc -w; b <= 6x; e >= 200,000 tokens/s; peak < 100 MB for a, b (apart from the lists) and c."
