#!/usr/bin/env python3
"""Independent reference tokenizer for Tavora's text input.

Written from the description of the input formats, not from src/input, so that
the C++ tokenizer can be checked against it on random inputs
(see check_tokenize.py and run_tokenize_check.sh).

Strings are handled as UTF-16 code units: every Python str in this module holds
one code unit per character (characters outside the BMP are split into their
two surrogate halves), exactly as the C++ side sees them.

Usage as a program:
    tokenize_ref.py FORMAT FILE...   prints one JSON line per normal token
    (TAVORA_REF_ENCODING names a Python codec for the files; default UTF-8)
"""
import json
import os
import sys

FORMATS = ("plain", "lines", "whitespace", "vertical", "coca", "custom",
           "conllu", "bnc")


# --- UTF-16 code units -------------------------------------------------------

def to_units(text):
    """Python str -> str of UTF-16 code units (surrogate pairs split)."""
    if all(ord(c) < 0x10000 for c in text):
        return text
    out = []
    for c in text:
        o = ord(c)
        if o >= 0x10000:
            o -= 0x10000
            out.append(chr(0xD800 + (o >> 10)))
            out.append(chr(0xDC00 + (o & 0x3FF)))
        else:
            out.append(c)
    return "".join(out)


def from_units(units):
    """str of UTF-16 code units -> Python str (surrogate pairs joined)."""
    return units.encode("utf-16-le", "surrogatepass").decode(
        "utf-16-le", "surrogatepass")


def decode_utf8(data):
    """Each maximal ill-formed subpart becomes one U+FFFD (Python follows the
    same practice as Unicode's recommendation)."""
    return to_units(data.decode("utf-8", "replace"))


def decode(data, encoding=None):
    """Bytes in a Python codec, or by default UTF-8 (UTF-16 after a byte-order
    mark FF FE or FE FF, which is skipped)."""
    if encoding:
        return to_units(data.decode(encoding, "replace"))
    if data[:2] == b"\xff\xfe":
        return to_units(data[2:].decode("utf-16-le", "replace"))
    if data[:2] == b"\xfe\xff":
        return to_units(data[2:].decode("utf-16-be", "replace"))
    return decode_utf8(data)


# --- Character classes ---------------------------------------------------------

def _table(ranges):
    t = bytearray(0x10000)
    for r in ranges:
        lo, hi = (r, r) if isinstance(r, int) else r
        for u in range(lo, hi + 1):
            t[u] = 1
    return bytes(t)


_LETTER = _table([39, (64, 90), (97, 122), 138, 140, 142, 154, 156, 158, 159,
                  (192, 214), (216, 246), (248, 447), (452, 696), (891, 893),
                  (900, 1153),
                  (0x048A, 0x052F), (0x0531, 0x0556),  # the extension
                  (1377, 1415), (1488, 1514), 1520, 1521, (1569, 1630),
                  (1646, 1651), (1653, 1747), 1774, 1775, (1786, 1791),
                  (1807, 1838), (1872, 1901), (1920, 1969), (1994, 2020)])
_DIGIT = _table([(48, 57), (1632, 1641), (1776, 1785), (65296, 65305)])
_PUNCT = _table([(33, 38), (40, 47), (58, 64), (91, 96), (123, 191), 894,
                 1475, 1523, 1524, 1563, 1567, (1642, 1645)])


def is_letter(c):
    return _LETTER[ord(c)] == 1


def is_digit(c):
    return _DIGIT[ord(c)] == 1


def is_punct(c):
    return _PUNCT[ord(c)] == 1


# --- Reader: items cut from the decoded text ----------------------------------
# Each function takes the whole decoded input s and the position i of the front
# of the buffer (i < len(s)) and returns (item, new position).

_SEP = " \t\n"


def _word_class(c):
    return is_letter(c), is_digit(c)


def read_word(s, i):
    """U+FFFD (a character the encoding lost) never cuts an item: it counts as
    of the class of the item's last other character, and a class change next to
    it does not cut; at the start of an item it joins whatever follows."""
    n = len(s)
    j = i
    run = None  # class of the item's last character other than U+FFFD
    while True:
        if j >= n:
            return s[i:j], j
        c = s[j]
        if c in _SEP:
            return s[i:j], j + 1
        if is_punct(c):
            return s[i:j + 1], j + 1
        if c == "\r":
            return s[i:j], (j + 2 if j + 1 < n and s[j + 1] == "\n" else j + 1)
        if c == "\ufffd":
            cls = run
        else:
            cls = run = _word_class(c)
        if j + 1 >= n:
            j += 1
            continue
        d = s[j + 1]
        if d in _SEP:
            return s[i:j + 1], j + 2
        if d != "\ufffd" and cls is not None and cls != _word_class(d):
            return s[i:j + 1], j + 1
        j += 1


def read_line_ws(s, i):
    n = len(s)
    j = i
    while j < n:
        c = s[j]
        if c in _SEP:
            return s[i:j], j + 1
        if c == "\r":
            return s[i:j], (j + 2 if j + 1 < n and s[j + 1] == "\n" else j + 1)
        j += 1
    return s[i:j], j


def read_line(s, i):
    n = len(s)
    j = i
    while j < n:
        c = s[j]
        if c == "\n":
            return s[i:j], j + 1
        if c == "\r":
            return s[i:j], (j + 2 if j + 1 < n and s[j + 1] == "\n" else j + 1)
        j += 1
    return s[i:j], j


def read_bnc(s, i):
    n = len(s)
    j = i
    while j < n:
        if j + 3 <= n:
            if s[j] == "<" and s[j + 1] in "wc" and s[j + 2] == " ":
                return "", j + 1
            if s[j] == "/" and s[j + 1] in "wc" and s[j + 2] == ">":
                return s[i:j + 3], min(j + 4, n)
        j += 1
    return s[i:j], j


_READERS = {"plain": read_word, "whitespace": read_line_ws, "bnc": read_bnc}


# --- Stream ---------------------------------------------------------------------

def trim(s):
    a, b = 0, len(s)
    while a < b and s[a] <= " ":
        a += 1
    while b > a and s[b - 1] <= " ":
        b -= 1
    return s[a:b]


def clean(raw):
    """Removes every U+FEFF, then trims codes up to 32 at both ends.

    Tavora removes the mark first so that white space after a byte-order mark is
    trimmed like anywhere else (pasted text is read with a leading mark).
    TAVORA_REF_TRIM_FIRST=1 trims first instead, to compare with that order."""
    if _TRIM_FIRST:
        return trim(raw).replace("\ufeff", "")
    return trim(raw.replace("\ufeff", ""))


_TRIM_FIRST = os.environ.get("TAVORA_REF_TRIM_FIRST") == "1"


def default_marker(fmt):
    return {"vertical": "<doc ", "coca": "##", "conllu": "# newdoc",
            "custom": "<doc"}.get(fmt, "")


def is_structural(fmt, raw):
    if fmt in ("vertical", "custom"):
        return len(raw) > 2 and raw[0] == "<" and raw[1] != "\t"
    if fmt == "coca":
        return len(raw) > 2 and (raw.startswith("##")
                                 or (raw[0] == "<" and raw[1] != "\t"))
    if fmt == "conllu":
        return len(raw) > 1 and raw[0] == "#"
    return False


def stream(fmt, files, marker=None):
    """Yields (index_in_doc, file_name, raw) for every normal token.

    files: list of (name, decoded text in code units)."""
    if marker is None:
        marker = default_marker(fmt)
    read = _READERS.get(fmt, read_line)
    index_in_doc = 0
    for k, (name, s) in enumerate(files):
        if k > 0 and marker == "":
            index_in_doc = 0
        pos = 0
        while pos < len(s):
            raw, pos = read(s, pos)
            raw = clean(raw)
            if not raw:
                continue
            if marker and raw.startswith(marker):
                index_in_doc = 0
                continue
            if is_structural(fmt, raw):
                continue
            index_in_doc += 1
            yield index_in_doc, name, raw


# --- Token ----------------------------------------------------------------------

def parse_bnc(raw):
    values, cur, inside = [], [], False
    for c in raw:
        if inside:
            if c == '"' or c == "<":
                values.append("".join(cur))
                cur = []
                inside = False
            else:
                cur.append(c)
        elif c == '"' or c == ">":
            inside = True
    return values


def parse(fmt, raw):
    if fmt in ("plain", "lines", "whitespace"):
        return [raw]
    if fmt == "bnc":
        return parse_bnc(raw)
    cols = raw.split("\t")
    if len(cols) > 1 and cols[-1] == "":
        cols.pop()
    return cols


def _at(values, k):
    return values[k] if 0 <= k < len(values) else ""


def fields(fmt, raw, custom=(0, 0, 0)):
    """(word, lemma, tag) of a token; custom holds zero-based column indexes."""
    if fmt in ("plain", "lines", "whitespace"):
        return raw, raw, ""
    v = parse(fmt, raw)
    if fmt == "vertical" or fmt == "coca":
        return _at(v, 0), _at(v, 1), _at(v, 2)
    if fmt == "custom":
        return _at(v, custom[0]), _at(v, custom[1]), _at(v, custom[2])
    if fmt == "conllu":
        return _at(v, 1), _at(v, 2), _at(v, 4)
    # bnc
    if len(v) >= 4:
        return trim(v[3]), _at(v, 1), v[2]
    return _at(v, 1), _at(v, 1), _at(v, 0)


_PUNCT_CHARS = set(',.()_/=":][\u00bb\u00ab}{\u061b!\\\u060c><\u00d7\u00f7'
                   '\u2018\u061f\u00b6\u2019?;+')
_DIGIT_CHARS = set("0123456789\u0660\u0661\u0662\u0663\u0664\u0665\u0666"
                   "\u0667\u0668\u0669\u06f4\u06f5\u06f6")


def is_punctuation_token(word, tag):
    return (tag.startswith("Z:") or tag.startswith("PUN")
            or word in ("-", "\u2013")
            or any(c in _PUNCT_CHARS for c in word))


def is_digit_token(word, tag):
    return (tag.startswith("C=") or tag.startswith("C}")
            or any(c in _DIGIT_CHARS for c in word))


def lower(units):
    return to_units(from_units(units).lower())


# --- What a run sees ------------------------------------------------------------

def split_patterns(text):
    return text.split("|") if text else []


def is_autosemantic(fmt, tag, lemma, patterns):
    if fmt in ("vertical", "conllu", "bnc"):
        if len(tag) == 3:
            return tag[:2] in ("AJ", "NN", "VV") or tag == "AV0"
        return (len(tag) > 3 and lemma not in ("b\u00fdt", "m\u00edt")
                and tag[0] in "ANVD")
    if fmt == "custom":
        return any(tag.startswith(p) for p in patterns)
    return False


def run(fmt, files, kinds=("word",), case="insensitive", keep_punct=False,
        keep_digits=False, custom=(0, 0, 0), marker=None, patterns=None):
    """Returns a list of documents: (name, [(word, lemma, autosemantic)...])
    after the filters and the case rule; empty strings are kept (the counters
    skip them). patterns: the custom format's autosemantic tag prefixes."""
    if patterns is None:
        patterns = ["N", "A", "V", "D"]
    docs = []
    for index, name, raw in stream(fmt, files, marker):
        if index == 1:
            docs.append((name, []))
        word, lemma, tag = fields(fmt, raw, custom)
        if not keep_punct and is_punctuation_token(word, tag):
            continue
        if not keep_digits and is_digit_token(word, tag):
            continue
        if "lemma" not in kinds:
            lemma = ""
        if case == "insensitive" or (case == "lemma"
                                     and (lemma == "" or lemma == lower(lemma))):
            word = lower(word)
        docs[-1][1].append((word, lemma,
                            is_autosemantic(fmt, tag, lemma, patterns)))
    return docs


def main(argv):
    if len(argv) < 3 or argv[1] not in FORMATS:
        print(__doc__, file=sys.stderr)
        return 2
    fmt = argv[1]
    files = []
    for name in argv[2:]:
        with open(name, "rb") as f:
            files.append((name, decode(f.read(),
                                       os.environ.get("TAVORA_REF_ENCODING"))))
    for index, name, raw in stream(fmt, files):
        word, lemma, tag = fields(fmt, raw)
        print(json.dumps({"file": name, "index_in_doc": index,
                          "raw": from_units(raw), "word": from_units(word),
                          "lemma": from_units(lemma), "tag": from_units(tag),
                          "punct": is_punctuation_token(word, tag),
                          "digit": is_digit_token(word, tag)},
                         ensure_ascii=False))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
