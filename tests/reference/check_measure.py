#!/usr/bin/env python3
"""Differential check of tavora-cli measure against measure_ref.py over random cases.

usage: check_measure.py CLI CASES [SEED] [--keep DIR]
Exit status 1 when any result file differs (near-misses in the last written digit are
counted separately and also fail unless --allow-near is given)."""
import json
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import measure_ref as R  # noqa: E402

VOCAB = ["a", "ab", "abc", "house", "mouse", "A", "House", "b", "ba", "čaj", "být", "mít",
         "žluť", "x", "xy", "yx", "kočka", "Kočka", "42", "7", "the", "then", "than",
         "𝔸b", "ü", "u"]
EXTRA_REF = ["zzz", "qq", "nowhere", "Ab", "ABC"]
TAGS = ["NN1", "AJ0", "VVD", "AV0", "AT0", "AVP", "AJ0-NN1", "VVB-NN1", "DT0", "NP0",
        "X", "NN", "D-x", "Nxxx", "PNP"]
LEMMAS = {"být": ["být"], "mít": ["mít"]}


def lemma_of(word, rng):
    r = rng.random()
    if r < 0.15:
        return rng.choice(["být", "mít"])
    if r < 0.5:
        return word.lower()
    return word


def autosemantic(tag, lemma_slot):
    if len(tag) == 3:
        return tag[:2] in ("AJ", "NN", "VV") or tag == "AV0"
    if len(tag) > 3:
        return lemma_slot not in ("být", "mít") and tag[0] in "ANVD"
    return False


def make_case(rng):
    c = {}
    c["fmt"] = rng.choice(["lines", "lines", "vertical", "vertical", "whitespace"])
    if c["fmt"] == "vertical":
        c["kinds"] = rng.choice([["Word"], ["Lemma"], ["Word", "Lemma"]])
    else:
        c["kinds"] = ["Word"]
    c["L"] = rng.randint(1, 30)
    c["onefile"] = rng.random() < 0.3
    vocab = rng.sample(VOCAB, rng.randint(2, len(VOCAB)))
    ndocs = rng.randint(1, 4)
    docs = []
    for _ in range(ndocs):
        r = rng.random()
        if r < 0.85:
            n = rng.choice([0, rng.randint(1, 15), rng.randint(1, 70)])
        elif r < 0.95:
            n = rng.randint(c["L"], c["L"] + 3)
        else:
            n = rng.randint(200, 600)
        toks = []
        for _ in range(n):
            w = rng.choice(vocab[:rng.randint(1, len(vocab))])
            lem = lemma_of(w, rng) if rng.random() > 0.04 else ""
            toks.append((w, lem, rng.choice(TAGS)))
        docs.append(toks)
    c["docs"] = docs
    c["measures"] = sorted({0} | set(rng.sample(range(13), rng.randint(0, 13))))
    if c["fmt"] != "vertical":
        c["measures"] = [m for m in c["measures"] if m != R.vAutosemantics]
    c["secondary"] = sorted(rng.sample(range(17), rng.randint(0, 17)))
    c["q"] = rng.choice([0, 0.5, 1, 2, 3])
    c["rct"] = rng.random() < 0.5
    c["outputs"] = set(rng.sample(["averages", "series", "wholetexts", "distributions"],
                                  rng.randint(1, 4)))
    c["lists"] = {}
    for kind in c["kinds"]:
        if rng.random() < 0.65:
            types = set()
            for toks in docs:
                for t in toks:
                    types.add(t[0] if kind == "Word" else t[1])
            types = sorted(types)
            lines = []
            for t in types + EXTRA_REF:
                if rng.random() < 0.75:
                    cnt = rng.choice([0, rng.randint(0, 5), rng.randint(0, 60)])
                    if c["rct"] and rng.random() < 0.7:
                        cnt += sum(1 for toks in docs for x in toks
                                   if (x[0] if kind == "Word" else x[1]) == t)
                    line = [t, str(cnt)]
                    if rng.random() < 0.15:
                        line.append(str(rng.randint(0, 9)))
                    lines.append(line)
            if lines and rng.random() < 0.1:
                lines.append(list(rng.choice(lines)))
                lines[-1][1] = str(rng.randint(0, 9))
            rng.shuffle(lines)
            c["lists"][kind] = lines
    return c


def ref_list(lines):
    entries = {}
    total = 0
    for line in lines:
        if line[0] == "":
            continue  # a line whose first field is empty is skipped
        cnt = int(line[1])
        ln = int(line[2]) if len(line) > 2 else len(R.u16(line[0]))
        entries[line[0]] = (cnt, ln)
        total += cnt
    return R.RefList(entries, total)


def write_inputs(c, d):
    paths = []
    for i, toks in enumerate(c["docs"]):
        p = os.path.join(d, "in%d.txt" % i)
        with open(p, "w", encoding="utf-8", newline="") as f:
            if c["fmt"] == "lines":
                f.write("".join(t[0] + "\n" for t in toks))
            elif c["fmt"] == "whitespace":
                f.write(" ".join(t[0] for t in toks) + ("\n" if toks else ""))
            else:
                f.write('<doc id="d%d">\n' % i)
                f.write("".join("%s\t%s\t%s\n" % t for t in toks))
        paths.append(p)
    if c["fmt"] == "vertical" and c["onefile"]:
        p = os.path.join(d, "all.vert")
        with open(p, "w", encoding="utf-8", newline="") as f:
            for q in paths:
                f.write(open(q, encoding="utf-8").read())
                os.remove(q)
        paths = [p] * len(paths)
    lists = {}
    for kind, lines in c["lists"].items():
        p = os.path.join(d, "list%s.tsv" % kind)
        with open(p, "w", encoding="utf-8", newline="") as f:
            f.write("".join("\t".join(l) + "\n" for l in lines))
        lists[kind] = p
    return paths, lists


def expected(c, paths):
    docs = []
    for p, toks in zip(paths, c["docs"]):
        if not toks:
            continue
        out = []
        for w, lem, tag in toks:
            lemma_slot = lem if "Lemma" in c["kinds"] else ""
            auto = c["fmt"] == "vertical" and autosemantic(tag, lemma_slot)
            out.append((w, lemma_slot, tag, auto))
        docs.append((p, out))
    refs = {k: ref_list(v) for k, v in c["lists"].items()}
    return R.run(docs, {"L": c["L"], "measures": c["measures"], "secondary": c["secondary"],
                        "q": c["q"], "refs": refs, "rct": c["rct"], "outputs": c["outputs"],
                        "kinds": c["kinds"]})


def command(cli, c, paths, lists, outdir):
    cmd = [cli, "measure", "-f", c["fmt"], "--case", "sensitive", "--keep-punctuation",
           "--keep-digits", "-o", outdir, "-w", str(c["L"]),
           "--kinds", ",".join(k.lower() for k in c["kinds"]),
           "-m", ",".join([R.BASIC[m] for m in c["measures"]] +
                          [R.SECONDARY[s] for s in c["secondary"]]),
           "--outputs", ",".join(sorted(c["outputs"])), "--hill-q", repr(c["q"])]
    if "Word" in lists:
        cmd += ["--word-list", lists["Word"]]
    if "Lemma" in lists:
        cmd += ["--lemma-list", lists["Lemma"]]
    if c["rct"]:
        cmd.append("--reference-contains-texts")
    return cmd + sorted(set(paths))


def near(a, b):
    """Both numbers with the same digits after the point, differing by one unit in
    the last written digit (or both non-finite in a different way)."""
    try:
        fa, fb = float(a), float(b)
    except ValueError:
        return False
    fin_a, fin_b = math.isfinite(fa), math.isfinite(fb)
    if not fin_a or not fin_b:
        return not fin_a and not fin_b  # 0/0 against x/0 of a quantity that is about 0
    da = len(a.split(".")[1]) if "." in a and "E" not in a else 0
    unit = 10.0 ** -da
    sig = abs(fa) * 1e-9 if abs(fa) >= 1e10 ** 0 else 0
    return abs(fa - fb) <= max(unit, sig) * 1.0000001


def dist_blocks(lines, g):
    """[(labels, counts)] per block of a distribution file, as {index: count}."""
    blocks = []
    i = 0
    while i + 2 < len(lines):
        labels = [x for x in lines[i + 1].split(",") if x]
        counts = [x for x in lines[i + 2].split(",") if x]
        blocks.append({round(float(a) * g): int(b) for a, b in zip(labels, counts)})
        i += 3
    return blocks


def dist_compatible(name, el, gl):
    """Whether the program's counts differ from the reference only by values lying on an
    interval boundary within rounding noise."""
    g = 1 if any(name.startswith("Distribution%s_%s" % (k, c)) for k in ("Word", "Lemma")
                 for c in R.BASIC_CAPTION[:10]) else 100
    info = R.FRAGILE.get(name, [])
    got = dist_blocks(gl, g)
    if len(got) != len(info) + 1:
        return False
    total_fixed, total_flex = {}, []
    for fixed, flex in info:
        for k, v in fixed.items():
            total_fixed[k] = total_fixed.get(k, 0) + v
        total_flex += flex
    for (fixed, flex), gd in zip(info + [(total_fixed, total_flex)], got):
        rest = {k: gd.get(k, 0) - fixed.get(k, 0) for k in set(gd) | set(fixed)}
        if any(v < 0 for v in rest.values()) or sum(rest.values()) != len(flex):
            return False
        for k, v in rest.items():
            if v > sum(1 for a, b in flex if k in (a, b)):
                return False
    return True


def compare(exp, outdir):
    diffs = []
    nears = []
    got = {}
    for name in os.listdir(outdir):
        with open(os.path.join(outdir, name), "rb") as f:
            got[name] = f.read()
    # The run record lists exactly the result files of the complete run.
    record = json.loads(got.pop("TavoraRun.json", b"{}"))
    if record.get("state") != "complete" or sorted(record.get("files", [])) != sorted(got):
        diffs.append(("TavoraRun.json", "not a complete record of the files"))
    for name in sorted(set(exp) | set(got)):
        if name not in got:
            diffs.append((name, "missing file"))
            continue
        if name not in exp:
            diffs.append((name, "unexpected file"))
            continue
        if exp[name] == got[name]:
            continue
        el = exp[name].decode("utf-8").split("\r\n")
        gl = got[name].decode("utf-8", "replace").split("\r\n")
        fragile = name in R.FRAGILE
        if len(el) != len(gl):
            diffs.append((name, "line count %d != %d" % (len(gl), len(el))))
        for i, (e, g) in enumerate(zip(el, gl)):
            if e == g:
                continue
            if name.startswith("Distribution") and not e.startswith('"'):
                (nears if fragile and dist_compatible(name, el, gl) else diffs).append(
                    (name, "line %d: expected %r got %r" % (i + 1, e[:300], g[:300])))
                continue
            ef, gf = e.split(","), g.split(",")
            if len(ef) != len(gf):
                diffs.append((name, "line %d: expected %r got %r" % (i + 1, e, g)))
                continue
            for j, (a, b) in enumerate(zip(ef, gf)):
                if a == b:
                    continue
                a1, b1 = a.strip('"'), b.strip('"')
                entry = (name, "line %d field %d: expected %s got %s" % (i + 1, j + 1, a1, b1),
                         el[0].split(",")[j] if j < len(el[0].split(",")) else "")
                (nears if near(a1, b1) else diffs).append(entry)
    return diffs, nears


def main():
    cli = sys.argv[1]
    cases = int(sys.argv[2]) if len(sys.argv) > 2 else 100
    seed = int(sys.argv[3]) if len(sys.argv) > 3 and sys.argv[3].isdigit() else 1
    keep = "--keep" in sys.argv
    allow_near = "--allow-near" in sys.argv
    bad = 0
    near_cases = 0
    only = [int(a.split("=")[1]) for a in sys.argv if a.startswith("--only=")]
    for k in (only or range(cases)):
        rng = random.Random(seed * 100003 + k)
        c = make_case(rng)
        d = tempfile.mkdtemp(prefix="tavora-ref-")
        paths, lists = write_inputs(c, d)
        outdir = os.path.join(d, "out")
        cmd = command(cli, c, paths, lists, outdir)
        p = subprocess.run(cmd, capture_output=True, text=True)
        if p.returncode != 0:
            print("case %d: exit %d: %s" % (k, p.returncode, p.stderr.strip()))
            bad += 1
            continue
        R.FRAGILE.clear()
        exp = expected(c, paths)
        diffs, nears = compare(exp, outdir)
        if diffs or nears:
            tag = "DIFF" if diffs else "NEAR"
            print("case %d (seed %d) %s: %s" % (k, seed, tag, " ".join(
                "'%s'" % x if " " in x or "|" in x else x for x in cmd)))
            for x in diffs[:8]:
                print("   DIFF", *x)
            for x in nears[:4]:
                print("   NEAR", *x)
        if diffs:
            bad += 1
        elif nears:
            near_cases += 1
        if not keep and not diffs and not nears:
            shutil.rmtree(d)
    print("%d cases, %d with differences, %d with only last-digit near-misses" %
          (cases, bad, near_cases))
    sys.exit(1 if bad or (near_cases and not allow_near) else 0)


if __name__ == "__main__":
    main()
