"""The package's runs over files and its indices and frequency lists against tavora-cli's
result files (written with --precision full, so values compare exactly), and the Dask path
against the single run."""

import csv
import math
import os
import pathlib
import subprocess

import pytest

import tavora

np = pytest.importorskip("numpy")
pd = pytest.importorskip("pandas")

from test_tavora import zipf_tokens  # noqa: E402

CLI = os.environ.get("TAVORA_CLI", "")
DATA = pathlib.Path(__file__).resolve().parents[2] / "data"
KEYS = ("File Name", "Text id", "Document id", "Window id")
FAMILIES = "averages,wholetexts,indices,series"

pytestmark = pytest.mark.skipif(not CLI or not os.path.exists(CLI),
                                reason="TAVORA_CLI does not name tavora-cli")


def cli(*arguments):
    subprocess.run([CLI, *map(str, arguments)], check=True, capture_output=True)


def read_table(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, delimiter="\t" if path.suffix == ".tsv" else ","))
    return rows[0], rows[1:]


def assert_same(values, texts, where):
    """Values read back from full-precision text are the very doubles."""
    for value, text in zip(values, texts):
        written = float(text)
        assert value == written or (math.isnan(value) and math.isnan(written)), \
            f"{where}: {value!r} written as {text}"


def assert_frame_is_file(frame, path):
    header, rows = read_table(path)
    frame = frame.reset_index()
    assert set(header) <= set(frame.columns), path.name
    assert len(frame) == len(rows), path.name
    for position, caption in enumerate(header):
        texts = [row[position] for row in rows]
        if caption in KEYS:
            assert [str(v) for v in frame[caption]] == texts, f"{path.name} {caption}"
        else:
            assert_same(frame[caption].tolist(), texts, f"{path.name} {caption}")


@pytest.fixture(scope="module")
def token_file(tmp_path_factory):
    """Generated tokens, one a line, and a reference list."""
    folder = tmp_path_factory.mktemp("tokens")
    tokens = zipf_tokens(5, 3000, 500)
    (folder / "tokens.txt").write_text("\n".join(tokens) + "\n", encoding="utf-8")
    counts = {}
    for token in zipf_tokens(6, 20000, 700):
        counts[token] = counts.get(token, 0) + 1
    with open(folder / "ref.tsv", "w", encoding="utf-8") as f:
        f.writelines(f"{t}\t{c}\n" for t, c in counts.items())
    return tokens, folder


AS_GIVEN = dict(format="lines", case="sensitive", keep_punctuation=True, keep_digits=True)
CASES = {
    "plain": (["plain"], dict(window=50, measures="types,ttr,hapax,entropy")),
    "vertical": (["vertical"], dict(format="vertical", window=30, kinds=("word", "lemma"),
                                    measures="types,autosemantics,length,ttr", doc_ids=True,
                                    indices="all", case="lemma")),
    "conllu": (["conllu"], dict(format="conllu", window=20, kinds="word,lemma", ud=True,
                                measures="types,perplexity,autosemantics")),
    "tokens": (None, dict(AS_GIVEN, window=40, hill_q=2, indices="all",
                          measures="types,hill,cross-perplexity,relative-entropy,mattr",
                          mtld_threshold=0.7, mtld_rule="lt-min10", hdd_sample=30, log_base=10,
                          seed=7)),
}


@pytest.mark.parametrize("case", CASES)
def test_measure_files_equals_the_command_line(case, token_file, tmp_path):
    folders, options = CASES[case]
    tokens, tokens_folder = token_file
    inputs = [str(DATA / f) for f in folders] if folders else [str(tokens_folder / "tokens.txt")]
    arguments = []
    for key, value in options.items():
        value = ",".join(value) if isinstance(value, tuple) else value
        arguments += [f"--{key.replace('_', '-')}"] + ([] if value is True else [value])
    list_arguments = ["--word-list", tokens_folder / "ref.tsv"] if case == "tokens" else []
    cli("measure", *arguments, *list_arguments, "--precision", "full", "--outputs", FAMILIES,
        "-o", tmp_path / "cli", *inputs)

    # The list as an object gives what its file gives.
    word_list = tavora.ReferenceList.load(tokens_folder / "ref.tsv") if case == "tokens" else None
    frames = tavora.measure_files(inputs, series=True, out=tmp_path / "py", precision="full",
                                  word_list=word_list, **options)
    written = sorted(p.name for p in (tmp_path / "cli").glob("*.csv"))
    assert written == sorted(p.name for p in (tmp_path / "py").glob("*.csv"))
    for name in written:
        assert (tmp_path / "cli" / name).read_bytes() == (tmp_path / "py" / name).read_bytes()

    window = options["window"]
    for kind in frames["averages"].index.unique("Kind"):
        title = kind.capitalize()
        files = {"averages": f"Averages{title}{window}.csv",
                 "whole_texts": f"WholeTexts{title}.csv", "indices": f"Indices{title}.csv"}
        for family, name in files.items():
            assert_frame_is_file(frames[family].loc[kind], tmp_path / "cli" / name)
        series = frames["series"].loc[kind]
        for number in frames["averages"].loc[kind].index:
            path = tmp_path / "cli" / f"Serie{number}{title}{window}.csv"
            rows = series.loc[number] if number in series.index.unique("Text id") else series[:0]
            assert_frame_is_file(rows.droplevel(0) if rows.index.nlevels > 1 else rows, path)

    if case == "tokens":
        # The same tokens passed from Python: indices and whole-text values.
        chosen = {k: options[k] for k in ("mtld_threshold", "mtld_rule", "hdd_sample",
                                           "log_base", "seed")}
        values = tavora.indices(tokens, window, "all", **chosen)
        row = frames["indices"].loc[("word", 1)]
        assert list(values) == list(row.index[1:])
        assert_same(list(values.values()), [repr(v) for v in row.iloc[1:]], "indices")


def test_freqlist_equals_the_command_line(token_file, tmp_path):
    tokens, folder = token_file
    runs = [
        (tokens, dict(), ["-f", "lines", "--case", "sensitive", "--keep-punctuation",
                          "--keep-digits", folder / "tokens.txt"]),
        (DATA / "plain", dict(), [DATA / "plain"]),
        (DATA / "vertical" / "stories.vert", dict(format="vertical", kind="lemma",
                                                  case="sensitive"),
         ["-f", "vertical", "--kinds", "lemma", "--case", "sensitive",
          DATA / "vertical" / "stories.vert"]),
    ]
    for given, options, arguments in runs:
        kind = options.get("kind", "word")
        cli("freqlist", f"--{kind}-list", tmp_path / "list.tsv", *arguments)
        text = (tmp_path / "list.tsv").read_bytes().decode("utf-8-sig")
        listed = tavora.freqlist(given, **options)
        assert "".join(f"{t}\t{c}\r\n" for t, c in listed.items()) == text, str(arguments[-1])


def test_dask_equals_the_single_run(tmp_path):
    distributed = pytest.importorskip("distributed")
    import tavora.dask

    paths = sorted((DATA / "plain").iterdir())
    for seed in (7, 8):
        path = tmp_path / f"z{seed}.txt"
        path.write_text(" ".join(zipf_tokens(seed, 400, 80)), encoding="utf-8")
        paths.append(path)
    options = dict(window=40, measures="types,ttr", indices="mtld,hdd,msttr")
    single = tavora.measure_files(paths, series=True, **options)
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=False,
                                  dashboard_address=None) as cluster:
        with distributed.Client(cluster):
            combined = tavora.dask.measure_corpus(paths, files_per_task=2, series=True,
                                                  **options)
            summed = tavora.dask.freqlist_corpus(paths, files_per_task=2)
    assert list(combined) == list(single)
    for family in single:
        pd.testing.assert_frame_equal(combined[family], single[family], check_exact=True)
    pd.testing.assert_series_equal(summed, tavora.freqlist(paths))
