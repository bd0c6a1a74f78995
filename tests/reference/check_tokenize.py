#!/usr/bin/env python3
"""Differential check of tavora-cli's text input against tokenize_ref.py.

For random inputs of every format it compares
  - the frequency lists of word forms (and lemmata) with every token kept,
    case sensitive, and with the default filters and case rules;
  - the whole-text rows of a measurement (document names, token and type counts).

Usage: check_tokenize.py TAVORA_CLI [CASES] [SEED] [FORMAT...]
       check_tokenize.py TAVORA_CLI --files FORMAT FILE...   (given files)
Exit status 1 on any difference; the failing inputs are kept under
$TMPDIR/tavora-tokcheck-*/ and named in the output.
"""
import collections
import csv
import io
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import tokenize_ref as ref  # noqa: E402

# --- Random inputs ----------------------------------------------------------------

WORDS = [
    "Hello", "world", "house", "Praha", "praha", "žluťoučký", "Kůň", "ÚPĚL",
    "Привет", "мир", "ЁЖИК", "Ҋҋ", "ԀԁԮԯ", "Ӂӂ", "ҐҒ", "Աբգ", "ՖՔ", "բարեւ",
    "Σοφία", "ΣΟΦΟΣ", "ὁδός", "中文字", "日本語。", "😀", "x😀y", "𐐀𐐨",
    "123", "٣٤", "۴۵۶", "۷۸", "１２", "abc123def", "3.14", "3,5", "don't",
    "don’t", "e-mail", "well-known", "-", "–", "—", "@user", "a@b", "İstanbul",
    "ǅungla", "ß", "ﬁx", "שלום", "مرحبا", "؛", "؟", "،", "‘q’", "«x»", "×",
    "÷", "¶", "\u008ax\u009f", "\u00ad", "a\u00a0b", "\u0966१", "ȸ", "ǀ",
    "a'b'", "'", "''", "#tag", "50%", "$5", "~^|`", "*", "&amp;", "C++",
    "Z:", "PUN", "C=", "_", "NN1", "\u037e", "\u05c3", "\u05f3\u05f4",
    "\u066a\u066d", "\u02b8\u02b9", "\u037b", "být", "mít", "Být", "\u0482\u0489", "ΑΒΓ",
    "ÀÖØÞ", "×÷", "\u0600x", "\u07ca\u07e5", "ꙮ", "Ⅻ", "İ", "ΣΑΣ",
]
SPACES = [" ", " ", " ", "  ", "\t", "\n", "\r\n", "\r", "\u00a0", "\u2003",
          "\ufeff", "\x0b", "\x01", " \t ", "\n\n", "\r\n\r\n", "\x00",
          "\x1f", "\x85", "\u2028", "\ufeff\ufeff", " \ufeff "]
PUNCT = list("!\"#$%&()*+,-./:;<=>?@[\\]^_`{|}~") + [
    "\u00a1", "\u00bf", "\u00b6", "\u00ab", "\u00bb", "\u00a0"]


def rnd_word(r):
    x = r.random()
    if x < 0.6:
        return r.choice(WORDS)
    if x < 0.8:
        return r.choice(PUNCT)
    if x < 0.88:
        return r.choice(WORDS) + r.choice(PUNCT) + r.choice(WORDS)
    if x < 0.9:
        # anything valid: all planes, noncharacters, private use
        cps = []
        while len(cps) < r.randint(1, 3):
            cp = r.choice([r.randint(0x80, 0xFFFF), r.randint(0x10000, 0x10FFFF),
                           r.randint(0xFFF0, 0xFFFF), r.randint(0x0480, 0x0590)])
            if not 0xD800 <= cp <= 0xDFFF:
                cps.append(chr(cp))
        return "".join(cps)
    return "".join(chr(r.choice([r.randint(0x20, 0x7e), r.randint(0xa0, 0x250),
                                 r.randint(0x370, 0x800),
                                 r.randint(0x3000, 0x3010)]))
                   for _ in range(r.randint(1, 4)))


def gen_flat(r):
    parts = []
    if r.random() < 0.3:
        parts.append("\ufeff")
    for _ in range(r.randint(0, 40)):
        parts.append(rnd_word(r))
        parts.append(r.choice(SPACES) if r.random() < 0.85 else "")
    if r.random() < 0.5:
        parts.append(r.choice(["\n", "\r\n", "\r", " "]))
    return "".join(parts)


def rnd_col(r):
    x = r.random()
    if x < 0.1:
        return ""
    if x < 0.2:
        return r.choice([" ", "  x ", "\u00a0"])
    col = rnd_word(r).replace("\n", "").replace("\r", "").replace("\t", "")
    if r.random() < 0.1:
        col = r.choice(["\x0b", "\x00", "\x1f", "\x85", "\u2028", "\ufeff",
                        " "]) + col
    if r.random() < 0.1:
        col += r.choice(["\x0b", "\x00", "\x1f", "\x85", "\u2028", "\ufeff",
                         " "])
    return col


TAGS = ["NN1", "AJ0", "VVD", "AV0", "Z:-------------", "PUNCT", "C=-----",
        "C}------", "NNMS1-----A----", "VB-S---3P-AA---", "X", "Z", "", "DET",
        "PUN"]


def rnd_line_vertical(r, fmt):
    x = r.random()
    specials = {
        "vertical": ['<doc id="a1" title="Spring">', "<doc>", "<doc",
                     '<doc  id="x">', "<docx>", "<s>", "</s>", "<p>", "<",
                     "<\tx\ty", "<a", "<ab", "<<", "## 1", "# newdoc",
                     " <doc id=\"z\">", "\ufeff<doc id=\"b\">"],
        "coca": ["##4001", "##", "#", "##x\ty", "<p>", "<", "<\tx", "<a",
                 "<ab", "@@12", " ##5", "\ufeff##7", "#\t#\t#"],
        "conllu": ["# newdoc id = d1", "# newdoc", "# newdocument",
                   "# sent_id = 1", "# text = Hello, world!", "#", "#x",
                   "# ", " # newdoc id = 2", "\ufeff# newdoc", "#\t#"],
    }
    specials["custom"] = specials["vertical"] + ["<text id=\"t\">", "<text",
                                                 "<tex", "##"]
    if x < 0.12:
        return r.choice(specials[fmt])
    if x < 0.18:
        return r.choice(["", " ", "\t", "\t\t", " \ufeff ", "\ufeff"])
    if fmt == "conllu" and x < 0.9:
        ident = r.choice(["1", "2", "1-2", "8.1", "10", ""])
        cols = [ident, rnd_col(r), rnd_col(r), r.choice(["DET", "NOUN", "PUNCT",
                                                          "_"]),
                r.choice(TAGS), "_", "0", "root", "_", "_"]
        cols = cols[:r.choice([10, 10, 10, 3, 5, 2])]
        line = "\t".join(cols)
    else:
        n = r.choice([1, 2, 3, 3, 3, 4, 5])
        cols = [rnd_col(r) for _ in range(n)]
        if n >= 3 and r.random() < 0.7:
            cols[2] = r.choice(TAGS)
        line = "\t".join(cols)
    if r.random() < 0.1:
        line = r.choice(["\t", " ", "\t\t", "\u00a0"]) + line
    if r.random() < 0.1:
        line = line + r.choice(["\t", " ", "\t\t", "\u00a0"])
    return line


def gen_vertical(r, fmt):
    lines = [rnd_line_vertical(r, fmt) for _ in range(r.randint(0, 30))]
    out = []
    if r.random() < 0.3:
        out.append("\ufeff")
    for k, line in enumerate(lines):
        out.append(line)
        if k < len(lines) - 1 or r.random() < 0.6:
            out.append(r.choice(["\n", "\n", "\r\n", "\r"]))
    return "".join(out)


def rnd_attr_value(r):
    return r.choice(["NN1", "AJ0", "PUN", "VVD", "house", "be", "",
                     "NN1-VVB", "SUBST", "Praha", "žena", "Ёж", "a b"])


def rnd_bnc_element(r):
    kind = r.choice(["w", "w", "w", "c"])
    text = rnd_word(r) + r.choice([" ", "", "\n", "  ", "\u00a0"])
    if r.random() < 0.05:
        text = text.replace('"', "")
    if kind == "w":
        names = ["c5", "hw", "pos"]
        r.shuffle(names)
        names = names[:r.choice([3, 3, 3, 2, 1, 4])] if r.random() < 0.3 \
            else names
        if len(names) > 3:
            names = names + ["usas"]
    else:
        names = ["c5"] if r.random() < 0.8 else []
    attrs = "".join(' %s="%s"' % (n, rnd_attr_value(r)) for n in names)
    return "<%s%s>%s</%s>" % (kind, attrs, text, kind)


def gen_bnc(r):
    out = []
    if r.random() < 0.3:
        out.append("\ufeff")
    if r.random() < 0.8:
        out.append('<?xml version="1.0"?>\n<bncDoc xml:id="A"><teiHeader>'
                   '<title>T "q"</title></teiHeader>\n')
    out.append(r.choice(['<wtext type="FICTION">', "<stext>", "", "<caption>"]))
    for _ in range(r.randint(0, 25)):
        x = r.random()
        if x < 0.7:
            out.append(rnd_bnc_element(r))
        elif x < 0.8:
            out.append(r.choice(['<s n="1">', "</s>", "<p>", "</p>",
                                 '<mw c5="AV0">', "</mw>", "\n", "\r\n",
                                 "<w>", "<wx ", "<c>", "</w >"]))
        else:
            out.append(r.choice(["\n", " ", "text", '"', ">", "<", "/w>",
                                 "/c", "\u00a0"]))
    if r.random() < 0.8:
        out.append(r.choice(["</s></wtext></bncDoc>\n", "</bncDoc>",
                             '<pb n="2"/>\n', "\n", "x\"y\"z\"w\"v\"u\""]))
    return "".join(out)


def generate_small(r, fmt):
    if fmt in ("plain", "lines", "whitespace"):
        return gen_flat(r)
    if fmt == "bnc":
        return gen_bnc(r)
    return gen_vertical(r, fmt)


# Byte sequences that are not UTF-8: a Latin-1 letter, lone lead and
# continuation bytes, cut sequences, an overlong form, an encoded surrogate, a
# code point past U+10FFFF, and the bytes of a UTF-16 byte-order mark.
BAD_UTF8 = [b"\xe9", b"\xff", b"\x80", b"\x80\x80", b"\xc3", b"\xe2\x82",
            b"\xf0\x9f\x98", b"\xc0\xaf", b"\xed\xa0\x80", b"\xf4\x90\x80\x80",
            b"\xff\xfe", b"\xfe\xff", b"\xc3(", b"caf\xe9"]

# The encodings a case may be written in: (name for --encoding, Python codec).
ENCODINGS = [("windows-1250", "cp1250"), ("KOI8-R", "koi8_r"),
             ("ISO-8859-2", "iso8859_2"), ("UTF-16LE", "utf-16-le"),
             ("utf-16be", "utf-16-be")]


def corrupt(r, data):
    """Inserts ill-formed UTF-8 at random places after the first byte (a
    byte-order mark at the start would make the input UTF-16)."""
    data = bytearray(data)
    for _ in range(r.randint(1, 6)):
        at = r.randint(1, len(data))
        data[at:at] = r.choice(BAD_UTF8)
    return bytes(data)


def generate(r, fmt):
    x = r.random()
    if x < 0.7:
        return generate_small(r, fmt)
    # Large inputs cross the reader's 4096-byte blocks at every kind of place:
    # inside multi-byte sequences, between CR and LF, inside element tags.
    parts = []
    size = r.choice([4000, 4100, 9000, 20000])
    while sum(len(p) for p in parts) < size:
        p = generate_small(r, fmt)
        if fmt not in ("plain", "lines", "whitespace") and p and \
                p[-1] not in "\r\n" and r.random() < 0.8:
            p += "\n"
        parts.append(p)
        if r.random() < 0.1:
            parts.append(r.choice(["a", "\u00e9", "\u4e2d", "\U0001F600",
                                   "\r", "\n", "\r\n"]) * r.randint(1, 5000))
    return "".join(parts)


# --- Running tavora-cli -----------------------------------------------------------

def read_freqlist(path):
    with open(path, "rb") as f:
        text = f.read().decode("utf-8")
    if text.startswith("\ufeff"):
        text = text[1:]
    counts = collections.Counter()
    for m in re.finditer(r"(.*?)\t(\d+)\r\n", text, re.S):
        counts[m.group(1)] += int(m.group(2))
    return counts


def read_wholetexts(path):
    with open(path, "rb") as f:
        text = f.read().decode("utf-8-sig")
    rows = list(csv.reader(io.StringIO(text, newline="")))
    # The text id is the row's number; a wrong one shows as a wrong name.
    return [tuple([row[0] if row[1] == str(k) else "%s (text id %s)" % (
        row[0], row[1])] + row[2:]) for k, row in enumerate(rows[1:], 1)]


class Case:
    def __init__(self, r, fmt, workdir):
        self.fmt = fmt
        self.dir = workdir
        self.nfiles = r.choice([1, 1, 2, 3])
        self.texts = [generate(r, fmt) for _ in range(self.nfiles)]
        if r.random() < 0.1:
            self.texts[r.randrange(self.nfiles)] = r.choice(["", "\n", " \r\n"])
        self.names = ["f%d.txt" % k for k in range(self.nfiles)]
        self.stdin = self.nfiles == 1 and r.random() < 0.2
        self.custom = (0, 0, 0)
        self.marker = None
        self.options = []
        self.measure_options = []
        self.patterns = "N|A|V|D"
        explicit = True
        if fmt == "custom":
            w, l, t = r.randint(1, 4), r.randint(1, 4), r.randint(1, 4)
            self.options += ["--word-column", str(w)]
            explicit = r.random() < 0.8
            if explicit:
                self.options += ["--lemma-column", str(l), "--tag-column", str(t)]
            else:
                l = t = w
            self.custom = (w - 1, l - 1, t - 1)
            self.marker = r.choice(["<doc", "<doc", "<text", "##", "", "<doc "])
            self.options += ["--doc-marker", self.marker]
            self.patterns = r.choice(["N|A|V|D", "N|A|", "", "NN|V", "|", "Z:",
                                      "PUN|C"])
            self.measure_options = ["--autosemantic-tags", self.patterns]
        # Most cases are UTF-8; some hold ill-formed sequences, some are in
        # another encoding.
        self.encoding = None
        x = r.random()
        if x < 0.15:
            self.encoding = r.choice(ENCODINGS)
            self.options += ["--encoding", self.encoding[0]]
        self.corrupt = self.encoding is None and x > 0.75
        self.kinds = ["word", "lemma"] if fmt not in (
            "plain", "lines", "whitespace") else ["word"]
        self.tags = fmt not in ("plain", "lines", "whitespace") and explicit
        if fmt == "custom" and not explicit:
            self.kinds = ["word"]
        elif len(self.kinds) == 2 and r.random() < 0.3:
            self.kinds = [r.choice(self.kinds)]
        self.bytes = []
        for name, text in zip(self.names, self.texts):
            if self.encoding:
                data = text.encode(self.encoding[1], "replace")
            else:
                data = text.encode("utf-8")
                if self.corrupt and data:
                    data = corrupt(r, data)
            self.bytes.append(data)
            with open(os.path.join(workdir, name), "wb") as f:
                f.write(data)

    def inputs(self):
        return ["-"] if self.stdin else self.names

    def ref_files(self):
        # Standard input is read as a file without a name.
        names = [""] if self.stdin else self.names
        codec = self.encoding[1] if self.encoding else None
        return [(n, ref.decode(b, codec)) for n, b in zip(names, self.bytes)]

    def cli(self, binary, args):
        cmd = [binary] + args + ["-f", self.fmt] + self.options + self.inputs()
        stdin = self.bytes[0] if self.stdin else None
        p = subprocess.run(cmd, cwd=self.dir, input=stdin, capture_output=True)
        if p.returncode != 0:
            raise RuntimeError("%s failed (%d): %s" % (
                " ".join(cmd), p.returncode, p.stderr.decode("utf-8", "replace")))


class FileCase(Case):
    """Existing files, read in the given order, for one format."""

    def __init__(self, fmt, paths, workdir):  # pylint: disable=super-init-not-called
        self.fmt = fmt
        self.dir = workdir
        self.names = [os.path.abspath(p) for p in paths]
        self.texts = []
        for p in self.names:
            with open(p, "rb") as f:
                self.texts.append(f.read().decode("utf-8", "replace"))
        self.nfiles = len(paths)
        self.stdin = False
        self.custom = (0, 0, 0)
        self.marker = None
        self.options = []
        self.measure_options = []
        self.patterns = "N|A|V|D"
        self.tags = fmt not in ("plain", "lines", "whitespace", "custom")
        self.kinds = ["word", "lemma"] if self.tags else ["word"]

    def ref_files(self):
        out = []
        for p in self.names:
            with open(p, "rb") as f:
                out.append((p, ref.decode_utf8(f.read())))
        return out


def expected_counts(docs, index):
    c = collections.Counter()
    for _, toks in docs:
        for t in toks:
            # Types with a tab or a line break cannot be stored in a list file;
            # the list leaves them out.
            if t[index] and not re.search(r"[\t\r\n]", t[index]):
                c[ref.from_units(t[index])] += 1
    return c


def expected_wholetexts(docs, index):
    rows = []
    for name, toks in docs:
        vals = [t[index] for t in toks if t[index]]
        auto = sum(1 for t in toks if t[index] and t[2])
        share = "%.4f" % (auto / len(vals)) if vals else "0.0000"
        rows.append((name, str(len(vals)), str(len(set(vals))), share))
    return rows


def diff_counter(a, b):
    keys = sorted(set(a) | set(b))
    return ["%r: expected %d, got %d" % (k, a.get(k, 0), b.get(k, 0))
            for k in keys if a.get(k, 0) != b.get(k, 0)]


SETTINGS = [
    ("sensitive-all", ["--case", "sensitive", "--keep-punctuation",
                       "--keep-digits"], dict(case="sensitive", keep_punct=True,
                                              keep_digits=True)),
    ("defaults", [], dict(case="insensitive")),
    ("lemma-case", ["--case", "lemma", "--keep-digits"],
     dict(case="lemma", keep_digits=True)),
]


KIND_INDEX = {"word": 0, "lemma": 1}


def check_case(binary, case):
    problems = []
    files = case.ref_files()
    for label, args, opts in SETTINGS:
        if label == "lemma-case" and case.fmt in ("plain", "lines", "whitespace"):
            continue
        kinds = ",".join(case.kinds)
        docs = ref.run(case.fmt, files, kinds=case.kinds, custom=case.custom,
                       marker=case.marker,
                       patterns=ref.split_patterns(case.patterns), **opts)
        list_files = {"word": "w.tsv", "lemma": "l.tsv"}
        lists = []
        for kind in case.kinds:
            lists += ["--%s-list" % kind, list_files[kind]]
            if os.path.exists(os.path.join(case.dir, list_files[kind])):
                os.remove(os.path.join(case.dir, list_files[kind]))
        case.cli(binary, ["freqlist", "--kinds", kinds] + args + lists)
        for kind in case.kinds:
            f = list_files[kind]
            got = read_freqlist(os.path.join(case.dir, f))
            d = diff_counter(expected_counts(docs, KIND_INDEX[kind]), got)
            if d:
                problems.append("freqlist %s %s: %s" % (label, kind,
                                                        "; ".join(d[:8])))
        out = os.path.join(case.dir, "out")
        shutil.rmtree(out, ignore_errors=True)
        case.cli(binary, ["measure", "--kinds", kinds, "-w", "1", "-m",
                          "types,autosemantics" if case.tags else "types",
                          "--outputs", "wholetexts",
                          "-o", "out"] + args + case.measure_options)
        for kind in case.kinds:
            got = read_wholetexts(os.path.join(
                out, "WholeTexts%s.csv" % kind.capitalize()))
            want = expected_wholetexts(docs, KIND_INDEX[kind])
            if not case.tags:
                want = [w[:3] for w in want]
            if got != want:
                k = next((k for k, (a, b) in enumerate(zip(want, got)) if a != b),
                         min(len(want), len(got)))
                problems.append(
                    "wholetexts %s %s: %d rows expected, %d read; first "
                    "difference at row %d: expected %s, got %s" % (
                        label, kind, len(want), len(got), k + 1,
                        want[k] if k < len(want) else None,
                        got[k] if k < len(got) else None))
    return problems


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    if len(argv) > 3 and argv[2] == "--files":
        workdir = tempfile.mkdtemp(prefix="tavora-tokcheck-")
        problems = check_case(os.path.abspath(argv[1]),
                              FileCase(argv[3], argv[4:], workdir))
        shutil.rmtree(workdir)
        for p in problems:
            print("   ", p[:600])
        print("%s: %s" % (argv[3], "differs" if problems else "agrees"))
        return 1 if problems else 0
    cases = int(argv[2]) if len(argv) > 2 else 100
    seed = int(argv[3]) if len(argv) > 3 else 1
    formats = argv[4:] or list(ref.FORMATS)
    keep = tempfile.mkdtemp(prefix="tavora-tokcheck-")
    # A private copy, so that a rebuild during the check does not disturb it.
    binary = os.path.join(keep, "tavora-cli")
    shutil.copy2(argv[1], binary)
    failures = 0
    for fmt in formats:
        bad = 0
        for k in range(cases):
            r = random.Random("%d-%s-%d" % (seed, fmt, k))
            workdir = os.path.join(keep, "%s-%d" % (fmt, k))
            os.makedirs(workdir)
            case = Case(r, fmt, workdir)
            try:
                problems = check_case(binary, case)
            except RuntimeError as e:
                problems = [str(e)]
            if problems:
                bad += 1
                if bad <= 5:
                    print("DIFF %s case %d (%s%s):" % (
                        fmt, k, workdir, ", stdin" if case.stdin else ""))
                    for p in problems:
                        print("   ", p[:600])
            else:
                shutil.rmtree(workdir)
        print("%-10s %d/%d cases differ" % (fmt, bad, cases))
        failures += bad
    if failures == 0:
        shutil.rmtree(keep)
    else:
        print("failing inputs kept in", keep)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
