"""Tavora's lexical-diversity engine for Python.

Every value comes from Tavora's C++ engine, the one behind ``tavora-cli``: measures are
named as with ``tavora-cli measure -m`` (``types``, ``ttr``, ``hill`` ...), results are
labelled with the captions of its result files (``Types``, ``TTR``, ``Hills Continuum``
...), and bad options raise the command line's messages (ValueError for options, OSError
for files). The engine runs without the GIL, so threads measure in parallel.

``indices``, ``freqlist`` and ``measure_files`` add the further indices, frequency lists
and whole runs over files (with the command line's options); ``tavora.dask`` spreads runs
over many files on Dask's workers.

Tokens are measured as given: nothing is lowered, filtered or split further. ``tokens``
is any iterable of ``str`` (a list is read in one pass), a one-dimensional NumPy array of
``str``, or one ``str``, which is split at ``sep`` (at runs of white space when ``sep``
is None, as ``str.split()`` does). Empty tokens are skipped.
"""

from __future__ import annotations

import os
from typing import TYPE_CHECKING, Dict, Iterable, Optional, Union

from . import _core
from ._core import ReferenceList, __version__

if TYPE_CHECKING:
    import numpy
    import pandas

    Tokens = Union[Iterable[str], str, numpy.ndarray]
    Measures = Union[str, Iterable[str], None]
    Reference = Union[ReferenceList, str, os.PathLike, None]

__all__ = [
    "ReferenceList", "TavoraWarning", "__version__", "freqlist", "indices", "mattr",
    "measure_files", "series", "whole_text",
]


def mattr(tokens: Tokens, window: int = 200, *, sep: Optional[str] = None) -> float:
    """The moving-average type-token ratio (MATTR) of ``tokens``.

    The mean of the type-token ratio over every position of a window of ``window``
    tokens, at full double precision: the ``TTR`` column of ``Averages<Kind><L>.csv``
    written by ``tavora-cli measure -m ttr -w window``. NaN when there are fewer tokens
    than the window.

    >>> tavora.mattr("a b a c".split(), window=2)
    1.0

    Raises ValueError for a window outside 1 to 1000000, TypeError for tokens that are
    not str.
    """
    return _core.mattr(tokens, window, sep)


def series(
    tokens: Tokens,
    window: int = 200,
    measures: Measures = None,
    hill_q: Union[float, str] = 3,
    reference: Reference = None,
    *,
    reference_contains_text: bool = False,
    sep: Optional[str] = None,
) -> pandas.DataFrame:
    """The chosen measures at every window position, as ``Serie<n><Kind><L>.csv``.

    One row per window position, indexed by its window id counted from 1 ("Window id");
    one column per measure, named by its caption in the result files ("Tokens", "Types",
    "TTR" ...): ``Tokens`` first (always measured, as by the command line), then the
    chosen basic measures, then the chosen secondary ones, in the command line's order.
    Values are at full double precision. No rows when there are fewer tokens than the
    window.

    ``measures`` are command-line names (a list, or one comma-separated str); None takes
    the command line's default (``types,perplexity``). ``hill_q`` is the order of Hill's
    continuum. ``reference`` (a ReferenceList or the path of a list file) is the
    reference list of the cross and relative measures; without one they are 0.
    ``reference_contains_text`` says that the reference corpus contains these tokens.

    >>> tavora.series("a b a c b".split(), window=3, measures=["types", "ttr"])
               Tokens  Types       TTR
    Window id
    1             3.0    2.0  0.666667
    2             3.0    3.0  1.000000
    3             3.0    3.0  1.000000

    Raises ValueError for an unknown measure, a window outside 1 to 1000000 or an
    unreadable ``hill_q``; OSError for a reference list file that cannot be read.
    """
    import pandas as pd

    captions, values = _core.series(
        tokens, window, measures, hill_q, reference, reference_contains_text, sep
    )
    index = pd.RangeIndex(1, len(values) + 1, name="Window id")
    return pd.DataFrame(values, index=index, columns=captions)


def whole_text(
    tokens: Tokens,
    measures: Measures = None,
    hill_q: Union[float, str] = 3,
    reference: Reference = None,
    *,
    reference_contains_text: bool = False,
    sep: Optional[str] = None,
) -> Dict[str, float]:
    """The chosen measures over all of ``tokens``, as a row of ``WholeTexts<Kind>.csv``.

    A dict from caption ("Tokens", "Types", "TTR" ...) to value at full double precision,
    in the column order of the result files. The arguments are those of :func:`series`.

    >>> tavora.whole_text("a b a c".split(), measures="types,ttr")
    {'Tokens': 4.0, 'Types': 3.0, 'TTR': 0.75}
    """
    return _core.whole_text(tokens, measures, hill_q, reference, reference_contains_text, sep)



def indices(
    tokens: Tokens,
    window: int = 200,
    indices: Union[str, Iterable[str], None] = None,
    *,
    mtld_threshold: Union[float, str] = 0.72,
    mtld_rule: str = "le",
    hdd_sample: int = 42,
    log_base: Union[str, int] = "e",
    seed: int = 42,
    sep: Optional[str] = None,
) -> Dict[str, float]:
    """The further indices of ``tokens`` as one text, as a row of ``Indices<Kind>.csv``.

    A dict from caption ("MTLD", "HD-D", "Yule's K" ...) to value at full double precision,
    in the column order of the indices file. ``indices`` are the command line's names
    (``--indices``: ``mtld``, ``hdd``, ``yule-k`` ..., or ``all``); None takes the default
    set, the twelve from MTLD to CTTR. ``window`` is the segment length of MSTTR. The
    variants are those of the command line's options: ``mtld_threshold``
    (``--mtld-threshold``), ``mtld_rule`` (``le`` or ``lt-min10``), ``hdd_sample``,
    ``log_base`` (``e`` or ``10``) and ``seed`` (vocd-D's random samples).

    >>> tavora.indices("a b a c".split(), indices="cttr,maas")
    {'Maas a²': 0.05497..., 'CTTR': 1.0606...}

    Raises ValueError for an unknown index or a variant the command line refuses.
    """
    return _core.indices(
        tokens, window, indices, mtld_threshold, mtld_rule, hdd_sample, log_base, seed, sep
    )


# Keywords of the command line's flags and options that are not run options here.
_NOT_RUN_OPTIONS = {"help", "help_measures", "version", "output", "o"}
_Paths = Union[str, os.PathLike, Iterable[Union[str, os.PathLike]]]


def _is_path(value) -> bool:
    return isinstance(value, (str, bytes, os.PathLike))


def _input_arguments(paths: _Paths) -> list:
    """The input arguments; a relative name that begins with "-" gets "./" before it, so
    that it is not taken for an option."""
    items = [paths] if _is_path(paths) else list(paths)
    arguments = []
    for item in items:
        if not _is_path(item):
            raise TypeError(f"paths must be str or os.PathLike, not {type(item).__name__}")
        name = os.fsencode(item)
        arguments.append(b"./" + name if name.startswith(b"-") else name)
    return arguments


def _option_arguments(options: dict) -> list:
    """Keywords as the command line's options: ``keep_digits=True`` as ``--keep-digits``,
    ``kinds=("word", "lemma")`` as ``--kinds=word,lemma``; None and False leave an option
    out."""
    arguments = []
    for key, value in options.items():
        if key in _NOT_RUN_OPTIONS:
            raise ValueError(f"{key} is not an option of this function")
        if value is None or value is False:
            continue
        name = "--" + key.replace("_", "-")
        if value is True:
            arguments.append(name)
        elif _is_path(value):
            arguments.append(os.fsencode(name + "=") + os.fsencode(value))
        elif isinstance(value, Iterable):
            arguments.append(name + "=" + ",".join(str(v) for v in value))
        else:
            arguments.append(f"{name}={value}")
    return arguments


def _warn(lines) -> None:
    import warnings

    for line in lines:
        warnings.warn(line, TavoraWarning, stacklevel=3)


class TavoraWarning(UserWarning):
    """A warning of a run over files, with the command line's text ("input ... does not
    exist; skipped.")."""


def freqlist(
    paths_or_tokens: Union[_Paths, Tokens],
    format: str = "plain",
    kind: str = "word",
    *,
    sep: Optional[str] = None,
    **options,
) -> pandas.Series:
    """The frequency list of files or of tokens: counts indexed by type ("Type"), the most
    frequent first, equal counts in the order of the list files (``tavora-cli freqlist``).

    ``paths_or_tokens`` is read as files when it is one str or os.PathLike (a file or a
    folder), or an iterable of os.PathLike (pathlib.Path); then the list is the one that
    ``tavora-cli freqlist -f format --kinds kind`` writes, with the same reading, filters
    and case folding, and ``options`` are its options as keywords (``case="sensitive"``,
    ``keep_digits=True``, ``encoding="windows-1250"``, ``word_list=FILE`` to write the list
    file too). Anything else (a list of str, a NumPy array) is tokens, counted as given,
    and so is one str passed with ``sep`` (split at it, as in :func:`mattr`).

    Raises ValueError for bad options, OSError for inputs that cannot be read.
    """
    import pandas as pd

    if sep is None and (_is_path(paths_or_tokens) or _all_paths(paths_or_tokens)):
        types, counts = _freqlist_files(paths_or_tokens, format, kind, options)
    else:
        if options or format != "plain" or kind != "word":
            raise ValueError("format, kind and options apply to files, not to tokens")
        types, counts = _core.freqlist_tokens(paths_or_tokens, sep)
    return pd.Series(counts, index=pd.Index(types, name="Type", dtype=object), name="Count")


def _all_paths(value) -> bool:
    return isinstance(value, (list, tuple)) and len(value) > 0 and all(
        isinstance(item, os.PathLike) for item in value)


def _freqlist_files(paths, format, kind, options):
    import tempfile

    list_option = "lemma_list" if kind == "lemma" else "word_list"
    with tempfile.TemporaryDirectory(prefix="tavora-") as folder:
        if options.get(list_option) is None and kind in ("word", "lemma"):
            options = dict(options, **{list_option: os.path.join(folder, "list.tsv")})
        raw = _core.freqlist_files(
            _option_arguments(dict(format=format, kinds=kind, **options))
            + _input_arguments(paths))
    _warn(raw["warnings"])
    return raw[kind]


def measure_files(
    paths: _Paths,
    format: str = "plain",
    window: int = 200,
    kinds: Union[str, Iterable[str]] = ("word",),
    measures: Measures = None,
    *,
    series: bool = False,
    out: Union[str, os.PathLike, None] = None,
    **options,
) -> Dict[str, pandas.DataFrame]:
    """Measures files as ``tavora-cli measure`` does and returns the results as frames.

    The same run as the command line's, with the same reading, tokenization, filters and
    case folding: ``options`` are its options as keywords, ``-`` written ``_``
    (``case="sensitive"``, ``keep_punctuation=True``, ``hill_q=2``, ``indices="all"``,
    ``mtld_threshold=0.7``, ``word_list=FILE`` or a ReferenceList, ``doc_ids=True`` ...);
    lists as lists or comma-separated str. ``paths`` are files and folders (one str or
    os.PathLike, or an iterable of them).

    Returns a dict of frames, one per result family run: ``averages``, ``whole_texts`` and
    ``indices`` (by default; ``outputs=`` chooses others, as ``--outputs``), and ``series``
    when ``series=True``. Each frame is indexed by ("Kind", "Text id") -- ("Kind", "Text
    id", "Window id") for ``series`` -- and holds the columns of the result file
    (``"File Name"``, ``"Document id"`` with ``doc_ids=True``, then the measures'
    captions) at full double precision: ``frames["averages"].loc["word"]`` is
    ``AveragesWord<window>.csv``. With ``out=FOLDER`` the run also writes the result files
    of these families into FOLDER, as the command line does with ``-o FOLDER``.

    Raises ValueError for bad options (the command line's messages), OSError for inputs,
    reference lists or an output folder that cannot be read or written; warnings of the
    run (a missing input skipped) come as TavoraWarning.
    """
    import tempfile

    options = dict(options, format=format, window=window, kinds=kinds, measures=measures)
    families = options.get("outputs")
    if families is None:
        families = ["averages", "wholetexts", "indices"]
    elif isinstance(families, str):
        families = families.split(",")
    families = list(families) + (["series"] if series else [])
    options["outputs"] = families
    lists = {}
    for kind in ("word", "lemma"):
        if isinstance(options.get(f"{kind}_list"), ReferenceList):
            lists[kind] = options.pop(f"{kind}_list")
    if out is None and "sqlite" in families and options.get("database") is None:
        raise ValueError("outputs with sqlite needs out=FOLDER or database=FILE")
    with tempfile.TemporaryDirectory(prefix="tavora-") as folder:
        arguments = [b"--output=" + os.fsencode(out if out is not None else folder)]
        raw = _core.measure_files(
            arguments + _option_arguments(options) + _input_arguments(paths), lists,
            out is not None)
    _warn(raw["warnings"])
    return _frames(raw)


def _frames(raw) -> Dict[str, pandas.DataFrame]:
    """The frames of a run from the raw data of _core.measure_files."""
    import numpy as np
    import pandas as pd

    kinds, numbers = raw["kinds"], np.asarray(raw["numbers"], dtype=np.int64)
    keys = {"File Name": raw["names"]}
    if raw["ids"] is not None:
        keys["Document id"] = raw["ids"]
    index = pd.MultiIndex.from_product([kinds, numbers], names=["Kind", "Text id"])

    def table(values_of_kind, captions):
        values = np.concatenate([values_of_kind[k] for k in kinds]) if kinds else []
        frame = pd.DataFrame(values, index=index, columns=captions)
        for position, (caption, column) in enumerate(keys.items()):
            frame.insert(position, caption, list(column) * len(kinds))
        return frame

    frames = {}
    families = raw["families"]
    if "averages" in families:
        frames["averages"] = table(raw["averages"], raw["measures"])
    if "wholetexts" in families:
        frames["whole_texts"] = table(raw["whole_texts"], raw["measures"])
    if "indices" in families and kinds:
        captions = raw["indices"][kinds[0]][0]
        frames["indices"] = table({k: raw["indices"][k][1] for k in kinds}, captions)
    if "series" in families:
        parts = [raw["series"][k] for k in kinds]
        series_index = pd.MultiIndex.from_arrays(
            [np.repeat(kinds, [len(p[0]) for p in parts]),
             np.concatenate([p[0] for p in parts]),
             np.concatenate([p[1] for p in parts]).astype(np.int64)],
            names=["Kind", "Text id", "Window id"])
        frames["series"] = pd.DataFrame(
            np.concatenate([p[2] for p in parts]), index=series_index, columns=raw["measures"])
    for frame in frames.values():
        frame.attrs["documents"] = len(numbers)
    return frames
