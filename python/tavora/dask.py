"""Tavora over many files with Dask: the files are measured in groups on Dask's workers
(threads, processes or the machines of a cluster) and the results combined into what one
run over all of them gives.

Any Dask scheduler runs it; with a ``distributed.Client`` connected to a cluster's scheduler
(``Client("tcp://scheduler:8786")``), the groups go to that cluster's workers, which need
the tavora package and the files under the same paths.
"""

from __future__ import annotations

import os
from typing import TYPE_CHECKING, Dict, Iterable, List, Optional, Sequence, Union

import dask.bag

import tavora

if TYPE_CHECKING:
    import pandas

__all__ = ["freqlist_corpus", "measure_corpus"]

_Path = Union[str, os.PathLike]


def _groups(paths: Sequence[_Path], files_per_task: Optional[int]) -> List[List[_Path]]:
    if files_per_task is None:
        # A few groups per core of a small cluster, without groups of only a file or two.
        files_per_task = max(1, min(64, len(paths) // 16))
    if files_per_task < 1:
        raise ValueError(f"files_per_task: {files_per_task} is not a whole number of 1 or more")
    return [list(paths[i:i + files_per_task]) for i in range(0, len(paths), files_per_task)]


def _paths(paths) -> List[_Path]:
    items = [paths] if isinstance(paths, (str, bytes, os.PathLike)) else list(paths)
    if not items:
        raise ValueError("INPUT is required")
    return items


def measure_corpus(
    paths: Union[_Path, Iterable[_Path]],
    *,
    files_per_task: Optional[int] = None,
    scheduler: Optional[str] = None,
    **options,
) -> Dict[str, pandas.DataFrame]:
    """:func:`tavora.measure_files` over groups of ``files_per_task`` paths on Dask's
    workers, combined: the frames equal those of one ``measure_files(paths, **options)``,
    documents numbered over all paths in input order.

    Each path should hold whole documents: a document that goes on from one file into the
    next (a vertical file without a document marker at its start) is split when the files
    fall into different groups. ``out`` is not taken (each group would write into the same
    folder); ``scheduler`` is passed to ``compute`` (None: the current client, or Dask's
    default).
    """
    if options.get("out") is not None:
        raise ValueError("measure_corpus writes no result files: out is not taken")
    options.pop("out", None)
    groups = _groups(_paths(paths), files_per_task)
    bag = dask.bag.from_sequence(groups, npartitions=len(groups))
    parts = bag.map(lambda group: tavora.measure_files(group, **options)).compute(
        scheduler=scheduler)
    return combine(parts)


def combine(parts: Sequence[Dict[str, pandas.DataFrame]]) -> Dict[str, pandas.DataFrame]:
    """The frames of consecutive runs (as measure_files returns them) as those of one run:
    each run's "Text id" goes on from the documents of the runs before it."""
    import pandas as pd

    offsets, total = [], 0
    for part in parts:
        offsets.append(total)
        total += _documents(part)
    combined = {}
    for family in parts[0] if parts else []:
        frames = []
        for part, offset in zip(parts, offsets):
            frame = part[family]
            ids = frame.index.get_level_values("Text id") + offset
            frames.append(frame.set_axis(_renumbered(frame.index, ids), axis=0))
        kinds = list(dict.fromkeys(k for f in frames for k in f.index.get_level_values("Kind")))
        combined[family] = pd.concat(
            [f[f.index.get_level_values("Kind") == kind] for kind in kinds for f in frames])
        combined[family].attrs["documents"] = total
    return combined


def _documents(part) -> int:
    return next(iter(part.values())).attrs["documents"] if part else 0


def _renumbered(index, ids):
    import pandas as pd

    arrays = [index.get_level_values(level) for level in range(index.nlevels)]
    arrays[index.names.index("Text id")] = ids
    return pd.MultiIndex.from_arrays(arrays, names=index.names)


def freqlist_corpus(
    paths: Union[_Path, Iterable[_Path]],
    format: str = "plain",
    kind: str = "word",
    *,
    files_per_task: Optional[int] = None,
    scheduler: Optional[str] = None,
    **options,
) -> pandas.Series:
    """:func:`tavora.freqlist` over groups of ``files_per_task`` paths on Dask's workers,
    the lists summed exactly: the list equals one ``freqlist(paths, format, kind,
    **options)``, in the same order (most frequent first, equal counts in the order of the
    list files). Options that write files (``word_list``, ``lemma_list``) are not taken."""
    import pathlib

    for option in ("word_list", "lemma_list", "outputs"):
        if options.get(option) is not None:
            raise ValueError(f"freqlist_corpus writes no files: {option} is not taken")
    groups = _groups(_paths(paths), files_per_task)
    bag = dask.bag.from_sequence(groups, npartitions=len(groups))
    parts = bag.map(
        lambda group: tavora.freqlist([pathlib.Path(os.fsdecode(p)) for p in group], format,
                                      kind, **options)).compute(scheduler=scheduler)
    return sum_freqlists(parts)


def sum_freqlists(parts: Sequence[pandas.Series]) -> pandas.Series:
    """The sum of frequency lists (as freqlist returns them), in the order of a list file."""
    import pandas as pd

    counts: Dict[str, int] = {}
    for part in parts:
        for word, count in zip(part.index, part.to_numpy().tolist()):
            counts[word] = counts.get(word, 0) + count
    types, values = tavora._core.list_order(counts)
    return pd.Series(values, index=pd.Index(types, name="Type", dtype=object), name="Count")
