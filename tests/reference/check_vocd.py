#!/usr/bin/env python3
"""vocd-D of tavora-cli against an independent implementation, on generated texts.

usage: check_vocd.py CLI [TEXTS] [SEED]
Each text's vocd-D (3 trials) must lie within a few percent of the value computed here
with Python's own random samples, and vocd-D must rank the texts as HD-D does. Exit
status 1 on any failure."""
import csv
import math
import os
import random
import subprocess
import sys
import tempfile

TOLERANCE = 0.05  # relative; three trials of 1600 samples vary by about 1 %


def word(rank):
    """A word of lower-case letters for a rank, so that no filter drops it."""
    letters = ""
    rank += 1
    while rank:
        rank, digit = divmod(rank, 26)
        letters += chr(ord("a") + digit)
    return "w" + letters


def make_text(rng, vocabulary, n):
    weights = [1 / (r + 1) for r in range(vocabulary)]
    return [word(r) for r in rng.choices(range(vocabulary), weights, k=n)]


def hdd_of(tokens, sample=42):
    """Expected TTR of a sample of 42 tokens drawn without replacement."""
    n = len(tokens)
    counts = {}
    for t in tokens:
        counts[t] = counts.get(t, 0) + 1
    return sum(1 - math.comb(n - f, sample) / math.comb(n, sample)
               for f in counts.values()) / sample


def model(n, d):
    return d / n * (math.sqrt(1 + 2 * n / d) - 1)


def fit(sizes, ttrs):
    """Least-squares D by golden-section search over log D."""
    def cost(log_d):
        d = math.exp(log_d)
        return sum((t - model(n, d)) ** 2 for n, t in zip(sizes, ttrs))
    lo, hi = math.log(1e-3), math.log(1e7)
    g = (math.sqrt(5) - 1) / 2
    a, b = hi - g * (hi - lo), lo + g * (hi - lo)
    for _ in range(200):
        if cost(a) < cost(b):
            hi, b = b, a
            a = hi - g * (hi - lo)
        else:
            lo, a = a, b
            b = lo + g * (hi - lo)
    return math.exp((lo + hi) / 2)


def vocd(tokens, rng, trials=3):
    sizes = list(range(35, 51))
    ds = []
    for _ in range(trials):
        ttrs = [sum(len(set(rng.sample(tokens, n))) / n for _ in range(100)) / 100
                for n in sizes]
        ds.append(fit(sizes, ttrs))
    return sum(ds) / len(ds)


def main():
    cli = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 20
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    rng = random.Random(seed)
    # Vocabularies from 6 to 1200 ranks; a text is kept when its HD-D lies at least 0.02
    # from those of the texts kept before, so that any sound D orders them as HD-D does.
    texts, kept = [], []
    while len(texts) < count:
        t = make_text(rng, round(6 * 200 ** rng.random()), rng.randint(250, 350))
        h = hdd_of(t)
        if all(abs(h - k) >= 0.02 for k in kept):
            texts.append(t)
            kept.append(h)
    rng.shuffle(texts)
    failures = 0
    with tempfile.TemporaryDirectory() as tmp:
        files = []
        for i, t in enumerate(texts):
            path = os.path.join(tmp, "t%02d.txt" % i)
            with open(path, "w", encoding="utf-8") as f:
                f.write(" ".join(t) + "\n")
            files.append(path)
        out = os.path.join(tmp, "out")
        subprocess.run([cli, "measure", "-w", "50", "--outputs", "indices",
                        "--indices", "hdd,vocd-d,vocd-d-3", "-o", out] + files,
                       check=True, stdout=subprocess.DEVNULL)
        with open(os.path.join(out, "IndicesWord.csv"), encoding="utf-8-sig", newline="") as f:
            rows = list(csv.reader(f))[1:]
    hdd = [float(r[2]) for r in rows]
    d1 = [float(r[3]) for r in rows]
    d3 = [float(r[4]) for r in rows]
    for i, t in enumerate(texts):
        ref = vocd(t, rng)
        off = abs(d3[i] - ref) / ref
        print("text %2d: N %3d, HD-D %.4f, vocd-D %8.2f, 3 trials %8.2f, here %8.2f (%+.1f %%)"
              % (i, len(t), hdd[i], d1[i], d3[i], ref, 100 * (d3[i] - ref) / ref))
        if not off <= TOLERANCE:
            print("  differs by more than %.0f %%" % (100 * TOLERANCE))
            failures += 1
    for name, values in (("vocd-D", d1), ("vocd-D (3 trials)", d3)):
        if sorted(range(len(rows)), key=lambda i: values[i]) != \
                sorted(range(len(rows)), key=lambda i: hdd[i]):
            print("%s does not rank the texts as HD-D does" % name)
            failures += 1
    print("%d failures" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
