"""The Python package against tavora-cli's result files, its input paths against each
other, and its errors. Run by CTest with PYTHONPATH at the built package and TAVORA_CLI
naming the command line."""

import csv
import inspect
import math
import os
import pathlib
import random
import subprocess

import pytest

import tavora

np = pytest.importorskip("numpy")
pd = pytest.importorskip("pandas")

CLI = os.environ.get("TAVORA_CLI", "")
DATA = pathlib.Path(__file__).resolve().parents[2] / "data"
WINDOW = 40
HILL_Q = 2
# Every measure a token list can give (autosemantics needs tags).
MEASURES = [
    "types", "hapax", "perplexity", "rrr", "hill", "cross-types", "cross-perplexity",
    "cross-rrr", "cross-hill", "length", "difference", "ttr", "log-ttr", "root-ttr",
    "entropy", "cross-entropy", "relative-entropy", "repeat-rate", "cross-repeat-rate",
    "loglog-ttr", "logloglog-ttr", "relative-perplexity", "relative-types", "log-types",
    "log-relative-types", "renyi-entropy", "renyi-cross-entropy", "renyi-relative-entropy",
]


def zipf_tokens(seed, n, vocabulary):
    """Zipf-like tokens from Latin-1, UCS-2 and astral-plane alphabets."""
    rng = random.Random(seed)
    letters = "abcdefgh" + "éßø" + "жшλ" + "\U0001d538\U0001f600"
    words = ["".join(rng.choice(letters) for _ in range(rng.randint(1, 6))) for _ in range(vocabulary)]
    weights = [1 / (rank + 1) for rank in range(vocabulary)]
    return rng.choices(words, weights, k=n)


def read_csv(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    return rows[0], rows[1:]


def digits(text):
    return len(text.split(".")[1]) if "." in text else 0


def assert_written(value, text, where):
    """value, written as the result files write it, gives text (at most 10 significant
    digits are kept there)."""
    written = float(text)
    if not math.isfinite(written):
        assert value == written or (math.isnan(value) and math.isnan(written)), where
        return
    tolerance = 0.5 * 10 ** -digits(text) + abs(written) * 1e-9
    assert abs(value - written) <= tolerance, f"{where}: {value!r} written as {text}"


@pytest.fixture(scope="module")
def run(tmp_path_factory):
    """Tokens, a reference list and tavora-cli's result files for them."""
    if not CLI or not os.path.exists(CLI):
        pytest.skip("TAVORA_CLI does not name tavora-cli")
    folder = tmp_path_factory.mktemp("cli")
    tokens = zipf_tokens(1, 2500, 400)
    (folder / "tokens.txt").write_text("\n".join(tokens) + "\n", encoding="utf-8")
    reference = {}
    for token in zipf_tokens(2, 20000, 600):
        reference[token] = reference.get(token, 0) + 1
    with open(folder / "ref.tsv", "w", encoding="utf-8") as f:
        f.writelines(f"{t}\t{c}\n" for t, c in reference.items())
    subprocess.run(
        [CLI, "measure", "-f", "lines", "--case", "sensitive", "--keep-punctuation",
         "--keep-digits", "-w", str(WINDOW), "-m", ",".join(MEASURES), "--hill-q",
         str(HILL_Q), "--word-list", str(folder / "ref.tsv"),
         "--outputs", "averages,series,wholetexts", "-o", str(folder / "out"),
         str(folder / "tokens.txt")],
        check=True, capture_output=True)
    return tokens, tavora.ReferenceList.load(folder / "ref.tsv"), folder / "out"


def test_values_equal_the_result_files(run):
    tokens, reference, out = run
    frame = tavora.series(tokens, WINDOW, MEASURES, HILL_Q, reference)
    header, rows = read_csv(out / f"Serie1Word{WINDOW}.csv")
    assert [frame.index.name] + list(frame.columns) == header
    assert list(frame.index) == [int(r[0]) for r in rows]
    for row, (_, values) in zip(rows, frame.iterrows()):
        for caption, text in zip(header[1:], row[1:]):
            assert_written(values[caption], text, f"window {row[0]} {caption}")

    header, (row,) = read_csv(out / f"AveragesWord{WINDOW}.csv")
    means = frame.mean()
    for caption, text in zip(header[2:], row[2:]):
        assert_written(means[caption], text, f"average {caption}")
    assert_written(tavora.mattr(tokens, WINDOW), row[header.index("TTR")], "mattr")

    header, (row,) = read_csv(out / "WholeTextsWord.csv")
    whole = tavora.whole_text(tokens, MEASURES, HILL_Q, reference)
    assert list(whole) == header[2:]
    for caption, text in zip(header[2:], row[2:]):
        assert_written(whole[caption], text, f"whole text {caption}")


def test_every_input_path_gives_the_same_values():
    tokens = zipf_tokens(3, 3000, 300)
    with_empty = tokens[:10] + [""] + tokens[10:]
    expected = tavora.series(tokens, 25, "types,hapax,length,ttr")
    for make, sep in [
        (lambda: tuple(with_empty), None),
        (lambda: iter(with_empty), None),
        (lambda: np.array(with_empty), None),
        (lambda: np.array(tokens, dtype=object), None),
        (lambda: pd.Series(tokens), None),
        (lambda: " \t".join(tokens) + "\n", None),
        (lambda: "||".join(with_empty), "||"),
    ]:
        frame = tavora.series(make(), 25, "types,hapax,length,ttr", sep=sep)
        pd.testing.assert_frame_equal(frame, expected, check_exact=True)
        assert math.isclose(tavora.mattr(make(), 25, sep=sep), expected["TTR"].mean(), rel_tol=1e-12)
    assert math.isnan(tavora.mattr(tokens[:24], 25))
    assert len(tavora.series(tokens[:24], 25)) == 0


def test_defaults_are_the_command_lines():
    defaults = tavora._core.cli_defaults()
    for function in (tavora.mattr, tavora.series):
        assert inspect.signature(function).parameters["window"].default == defaults["window"]
    for function in (tavora.series, tavora.whole_text):
        assert inspect.signature(function).parameters["hill_q"].default == defaults["hill_q"]
    assert list(tavora.whole_text(["a", "b"])) == ["Tokens", "Types", "Perplexity"]
    assert defaults["measures"] == ["types", "perplexity"]


@pytest.mark.parametrize(
    "call, error, message",
    [
        (lambda: tavora.series(["a"], measures="types,foo"), ValueError, "Unknown measure 'foo'"),
        (lambda: tavora.mattr(["a"], 0), ValueError, "window: Value 0 not in range 1 to 1000000"),
        (lambda: tavora.series(["a"], 1000001), ValueError,
         "window: Value 1000001 not in range 1 to 1000000"),
        (lambda: tavora.whole_text(["a"], hill_q="2,5"), ValueError,
         "hill_q: '2,5' is not a valid floating point value"),
        (lambda: tavora.whole_text(["a"], hill_q=float("nan")), ValueError,
         "hill_q: 'nan' is not a valid floating point value"),
        (lambda: tavora.ReferenceList.load("/no/such/list.tsv"), FileNotFoundError,
         'Cannot open reference list "/no/such/list.tsv": no such file.'),
        (lambda: tavora.whole_text(["a"], reference="/"), OSError,
         'Cannot open reference list "/": not a file.'),
        (lambda: tavora.ReferenceList.from_counts({"a": -1}), ValueError,
         "The count of 'a' must be a whole number from 0 to 9223372036854775807"),
        (lambda: tavora.mattr(["a", 1]), TypeError, "tokens must be str: item 1 is int"),
        (lambda: tavora.mattr("a b", sep=""), ValueError, "empty separator"),
        (lambda: tavora.indices(["a"], indices="mtld,foo"), ValueError,
         "indices: Unknown index 'foo' (known indices: mtld, mtld-ma, hdd, msttr, yule-k, "
         "yule-i, simpson-d, herdan-vm, maas, dugast, summer, cttr, mtld-ma-wrap, mtld-ma-bid, "
         "vocd-d, vocd-d-3, lgv0, lgev0, uber; all for every one)"),
        (lambda: tavora.indices(["a"], mtld_threshold=1.5), ValueError,
         "mtld_threshold: '1.5' is not an MTLD threshold (a number from 0.000001 to 0.999999)"),
        (lambda: tavora.indices(["a"], hdd_sample=0), ValueError,
         "hdd_sample: Value 0 not in range 1 to 1000000"),
        (lambda: tavora.indices(["a"], log_base=2), ValueError, "log_base: 2 not in {e,10}"),
        (lambda: tavora.measure_files(DATA, window=0), ValueError,
         "--window: Value 0 not in range 1 to 1000000"),
        (lambda: tavora.measure_files(DATA, windw=3), ValueError,
         "The following argument was not expected: --windw=3"),
        (lambda: tavora.freqlist(DATA, format="foo"), ValueError,
         "--format: foo not in {plain,lines,whitespace,vertical,coca,custom,conllu,bnc}"),
        (lambda: tavora.freqlist(DATA, kind="lemma"), ValueError,
         "--kinds: --format plain carries no lemmata (use vertical, coca, conllu, bnc or custom)"),
        (lambda: tavora.measure_files("/no/such/dir"), FileNotFoundError,
         'Cannot open input "/no/such/dir": no such file or folder.'),
        (lambda: tavora.measure_files(DATA, word_list="/no/list.tsv"), OSError,
         'Cannot open the frequency list "/no/list.tsv": the file does not exist.'),
        (lambda: tavora.measure_files(DATA, out=DATA / "README.md"), OSError,
         f'Unable to create directory "{DATA / "README.md"}": Not a directory.'),
    ],
)
def test_errors_raise_the_documented_exceptions(call, error, message):
    with pytest.raises(error) as raised:
        call()
    assert str(raised.value) == message


def test_reference_list_from_counts_measures_as_a_list_file(tmp_path):
    counts = {"a": 7, "b": 2, "жж": 1}
    path = tmp_path / "ref.tsv"
    path.write_text("".join(f"{t}\t{c}\n" for t, c in counts.items()), encoding="utf-8")
    loaded, made = tavora.ReferenceList.load(path), tavora.ReferenceList.from_counts(counts)
    assert (len(made), made.total_tokens, made["жж"], made.path) == (3, 10, 1, None)
    assert loaded.path == path
    tokens = ["a", "b", "c", "жж", "a"]
    measures = "cross-perplexity,cross-rrr,length,relative-entropy"
    assert tavora.whole_text(tokens, measures, reference=made) == tavora.whole_text(
        tokens, measures, reference=path)
