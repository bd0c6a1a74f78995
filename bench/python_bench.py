#!/usr/bin/env python3
"""Times tavora.mattr (window 200) and tavora.indices (the default set) on Zipf-distributed
tokens, for each way of passing tokens (a list of str, a NumPy array of str, one str with
a separator), checks that two threads measuring two token lists run in parallel (the
engine releases the GIL), and times the peer libraries that are importable (skipped
otherwise). Prints a Markdown table.

  PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [--sizes 1000000,10000000]
"""

import argparse
import importlib
import threading
import time

import numpy as np

import tavora

WINDOW = 200
TYPES = 200_000
SYLLABLES = [c + v for c in "bcdfghjklmnprstvz" for v in "aeiou"]


def zipf_tokens(n, seed):
    """n tokens over TYPES words with Zipf frequencies (exponent 1); frequent ranks get
    short words. Returned as a NumPy array of str."""
    rng = np.random.default_rng(seed)
    words = []
    for rank in range(TYPES):
        word, r = "", rank
        while True:
            word += SYLLABLES[r % len(SYLLABLES)]
            r //= len(SYLLABLES)
            if r == 0:
                break
        words.append(word)
    weights = 1.0 / np.arange(1, TYPES + 1)
    cumulative = np.cumsum(weights / weights.sum())
    ranks = np.searchsorted(cumulative, rng.random(n), side="right").clip(0, TYPES - 1)
    return np.array(words)[ranks]


def best_of(runs, call):
    best, value = float("inf"), None
    for _ in range(runs):
        start = time.perf_counter()
        value = call()
        best = min(best, time.perf_counter() - start)
    return best, value


def peers(tokens):
    """(name, callable) for each importable peer implementation of MATTR."""
    found = []
    try:
        ld = importlib.import_module("lexical_diversity.lex_div")
        found.append(("lexical_diversity mattr", lambda: ld.mattr(tokens, WINDOW)))
        found.append(("lexical_diversity mtld", lambda: ld.mtld(tokens)))
    except ImportError:
        pass
    try:
        LexicalRichness = importlib.import_module("lexicalrichness").LexicalRichness
        text = " ".join(tokens)
        found.append(("LexicalRichness mattr",
                      lambda: LexicalRichness(text).mattr(window_size=WINDOW)))
    except ImportError:
        pass
    try:
        taaled = importlib.import_module("taaled.ld")
        found.append(("taaled mattr", lambda: taaled.lexdiv(tokens).mattr))
    except ImportError:
        pass
    return found


def threads(first, second):
    """Seconds for one mattr call, and for two calls on two threads at once."""
    one, _ = best_of(2, lambda: tavora.mattr(first, WINDOW))

    def both():
        workers = [threading.Thread(target=tavora.mattr, args=(t, WINDOW)) for t in (first, second)]
        for w in workers:
            w.start()
        for w in workers:
            w.join()

    two, _ = best_of(2, both)
    return one, two


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--sizes", default="1000000,10000000")
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()

    rows = []
    sizes = [int(s) for s in args.sizes.split(",")]
    for n in sizes:
        array = zipf_tokens(n, seed=n)
        inputs = [
            ("list of str", array.tolist(), None),
            ("NumPy array of str", array, None),
            ("one str, sep=' '", " ".join(array.tolist()), " "),
        ]
        for name, tokens, sep in inputs:
            seconds, value = best_of(args.runs, lambda: tavora.mattr(tokens, WINDOW, sep=sep))
            rows.append((f"tavora.mattr, {name}", n, seconds, f"MATTR {value:.6f}"))
        for name, tokens, sep in inputs:
            seconds, value = best_of(args.runs, lambda: tavora.indices(tokens, WINDOW, sep=sep))
            rows.append((f"tavora.indices, {name}", n, seconds, f"MTLD {value['MTLD']:.3f}"))
        if n == sizes[0]:
            for name, call in peers(inputs[0][1]):
                try:
                    seconds, value = best_of(1, call)
                except Exception as error:  # an API other than the one expected
                    print(f"{name}: skipped ({error!r})")
                    continue
                rows.append((name, n, seconds, f"{value:.6f}"))

    print(f"| Call (window {WINDOW}) | Tokens | Seconds | Value |")
    print("|---|---:|---:|---:|")
    for name, n, seconds, value in rows:
        print(f"| {name} | {n:,} | {seconds:.3f} | {value} |")

    n = sizes[-1]
    first, second = zipf_tokens(n, 1).tolist(), zipf_tokens(n, 2).tolist()
    one, two = threads(first, second)
    print(f"\nTwo threads, one list of {n:,} tokens each: {two:.3f} s; one list alone: "
          f"{one:.3f} s (ratio {two / one:.2f}; 1.0 is perfectly parallel, 2.0 serial).")


if __name__ == "__main__":
    main()
