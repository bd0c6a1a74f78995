#!/usr/bin/env python3
"""Seeded benchmark corpora for bench/run.sh; each set is made only when missing.

  plain/      plain text, Zipf-distributed words with punctuation, 50 files
  vertical/   standard vertical corpus: <doc id="..."> lines, word TAB lemma TAB tag,
              10,000 documents in 10 files
  single/     one plain-text file holding one document
  difference/ a short plain-text file for the edit-distance measure
  lines/      one word per line, 1,000,000 Zipf words (not scaled)

Sizes are 500, 500, 300 and 5 MB times --scale. Every set has a manifest.tsv
with the name, bytes and tokens (words without punctuation) of each file.
"""

import argparse
import itertools
import os
import random

SEED = 20240611
TYPES = 200_000
CHUNK = 200_000  # tokens drawn at a time

SYLLABLES = [c + v for c in "bcdfghjklmnprstvz" for v in "aeiou"] + ["a", "e", "i", "o", "u"]
TAGS = ["NN", "VB", "JJ", "RB", "DT", "IN", "NN", "NNS"]


def vocabulary(rng):
    """TYPES distinct words; frequent ranks get short words, as in real text."""
    words, seen = [], set()
    for rank in range(TYPES):
        syllables = 1 + min(4, len(str(rank + 1)) // 2) + rng.randrange(2)
        while True:
            w = "".join(rng.choice(SYLLABLES) for _ in range(syllables))
            if w not in seen:
                break
            syllables += 1
        seen.add(w)
        words.append(w)
    return words


class Source:
    """Zipf (1/rank) draws of word ranks."""

    def __init__(self, seed):
        self.rng = random.Random(seed)
        self.words = vocabulary(random.Random(SEED))
        self.cum = list(itertools.accumulate(1.0 / (r + 1) for r in range(TYPES)))
        self.ranks = range(TYPES)

    def draw(self, k):
        return self.rng.choices(self.ranks, cum_weights=self.cum, k=k)


# Separators after a word in plain text: mostly a space, sometimes punctuation.
PLAIN_SEPARATORS = [" "] * 40 + [", "] * 3 + [". "] * 2 + [".\n"] * 2 + ["; ", "? ", "! "]


def write_plain(path, size, src):
    tokens = 0
    written = 0
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        while written < size:
            ranks = src.draw(CHUNK)
            seps = src.rng.choices(PLAIN_SEPARATORS, k=CHUNK)
            text = "".join(src.words[r] + s for r, s in zip(ranks, seps))
            if written + len(text) > size:  # ASCII: characters are bytes
                cut = text.rfind(" ", 0, size - written)
                text = text[: max(cut, 0)] + "\n"
            tokens += len(text.split())
            f.write(text)
            written += len(text)
    return written, tokens


def write_lines(path, count, src):
    written = 0
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for start in range(0, count, CHUNK):
            ranks = src.draw(min(CHUNK, count - start))
            text = "".join(src.words[r] + "\n" for r in ranks)
            f.write(text)
            written += len(text)
    return written, count


def write_vertical(path, size, docs, first_doc, src):
    words = src.words
    lemma = [words[(r // 3) * 3] for r in range(TYPES)]
    tag = [TAGS[r % len(TAGS)] for r in range(TYPES)]
    line = [words[r] + "\t" + lemma[r] + "\t" + tag[r] + "\n" for r in range(TYPES)]
    per_doc = size // docs
    tokens = 0
    written = 0
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        for d in range(first_doc, first_doc + docs):
            head = '<doc id="d%05d">\n' % d
            f.write(head)
            written += len(head)
            doc_bytes = 0
            while doc_bytes < per_doc:
                ranks = src.draw(min(CHUNK, max(64, (per_doc - doc_bytes) // 12)))
                body = []
                for i, r in enumerate(ranks):
                    body.append(line[r])
                    if i % 17 == 16:
                        body.append(".\t.\tPUNCT\n")
                text = "".join(body)
                f.write(text)
                doc_bytes += len(text)
                tokens += len(ranks)
            f.write("</doc>\n")
            written += doc_bytes + 7
    return written, tokens


def make(dirname, files):
    """files: list of (name, writer) with writer(path) -> (bytes, tokens)."""
    manifest = os.path.join(dirname, "manifest.tsv")
    if os.path.exists(manifest):
        return
    os.makedirs(dirname, exist_ok=True)
    rows = []
    for name, writer in files:
        b, t = writer(os.path.join(dirname, name))
        rows.append("%s\t%d\t%d\n" % (name, b, t))
    with open(manifest + ".tmp", "w") as f:
        f.writelines(rows)
    os.replace(manifest + ".tmp", manifest)  # written last: marks the set complete


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--out", required=True)
    p.add_argument("--scale", type=float, default=1.0)
    a = p.parse_args()
    mb = int(1_000_000 * a.scale)
    src = Source(SEED + 1)
    make(os.path.join(a.out, "plain"),
         [("part%02d.txt" % i, lambda path: write_plain(path, 10 * mb, src)) for i in range(50)])
    make(os.path.join(a.out, "vertical"),
         [("part%02d.vert" % i, lambda path, i=i: write_vertical(path, 50 * mb, 1000, i * 1000 + 1, src))
          for i in range(10)])
    make(os.path.join(a.out, "single"), [("single.txt", lambda path: write_plain(path, 300 * mb, src))])
    make(os.path.join(a.out, "difference"),
         [("difference.txt", lambda path: write_plain(path, 5 * mb, Source(SEED + 2)))])
    make(os.path.join(a.out, "lines"),
         [("lines.txt", lambda path: write_lines(path, 1_000_000, Source(SEED + 3)))])


if __name__ == "__main__":
    main()
