"""Tavora's lexical-diversity engine for Python.

Every value comes from Tavora's C++ engine, the one behind ``tavora-cli``: measures are
named as with ``tavora-cli measure -m`` (``types``, ``ttr``, ``hill`` ...), results are
labelled with the captions of its result files (``Types``, ``TTR``, ``Hills Continuum``
...), and bad options raise the command line's messages (ValueError for options, OSError
for files). The engine runs without the GIL, so threads measure in parallel.

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

__all__ = ["ReferenceList", "__version__", "mattr", "series", "whole_text"]


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

