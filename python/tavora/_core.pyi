"""The compiled engine of the tavora package; use the functions of tavora."""

import os
import pathlib
from typing import Any, Dict, Iterable, List, Mapping, Optional, Tuple, Union

import numpy

__version__: str

_Tokens = Union[Iterable[str], str, numpy.ndarray]
_Measures = Union[str, Iterable[str], None]
_Reference = Union["ReferenceList", str, os.PathLike, None]

class ReferenceList:
    """A reference frequency list for the cross and relative measures."""

    @staticmethod
    def load(path: Union[str, os.PathLike]) -> ReferenceList:
        """Reads a list file (one "type TAB count" a line, UTF-8).

        Raises FileNotFoundError when the file does not exist, OSError when it cannot
        be read, with tavora-cli's messages."""
    @staticmethod
    def from_counts(counts: Mapping[str, int]) -> ReferenceList:
        """Makes a list from a mapping of type to count (0 to 2**31 - 1).

        Raises ValueError for a count out of range, TypeError for keys that are not str
        or counts that are not int."""
    @property
    def total_tokens(self) -> int:
        """The number of tokens the list stands for (the sum of its counts)."""
    @property
    def path(self) -> Optional[pathlib.Path]:
        """The file the list was read from; None for a list made from counts."""
    def __len__(self) -> int: ...
    def __contains__(self, type: str) -> bool: ...
    def __getitem__(self, type: str) -> int: ...

def mattr(tokens: _Tokens, window: int, sep: Optional[str]) -> float:
    """Mean TTR over all window positions; NaN without a full window."""

def series(
    tokens: _Tokens,
    window: int,
    measures: _Measures,
    hill_q: Union[float, str],
    reference: _Reference,
    reference_contains_text: bool,
    sep: Optional[str],
) -> Tuple[List[str], numpy.ndarray]:
    """(captions, values): one row of values per window position."""

def whole_text(
    tokens: _Tokens,
    measures: _Measures,
    hill_q: Union[float, str],
    reference: _Reference,
    reference_contains_text: bool,
    sep: Optional[str],
) -> Dict[str, float]:
    """The values of the whole text, by caption."""

def cli_defaults() -> Dict[str, Any]:
    """The command line's defaults: window, measures and hill_q."""

def indices(
    tokens: _Tokens,
    window: int,
    indices: Union[str, Iterable[str], None],
    mtld_threshold: Union[float, str],
    mtld_rule: str,
    hdd_sample: int,
    log_base: Union[str, int],
    seed: int,
    sep: Optional[str],
) -> Dict[str, float]:
    """The chosen indices of the whole text, by caption."""

def freqlist_tokens(tokens: _Tokens, sep: Optional[str]) -> Tuple[List[str], numpy.ndarray]:
    """(types, counts) of the tokens, in the order of a list file."""

def list_order(counts: Mapping[str, int]) -> Tuple[List[str], numpy.ndarray]:
    """(types, counts) of a mapping of type to count, in the order of a list file."""

def measure_files(
    arguments: List[Union[str, bytes]], lists: Dict[str, ReferenceList], csv_files: bool
) -> Dict[str, Any]:
    """A measurement run over files, as tavora-cli measure ARGUMENTS."""

def freqlist_files(arguments: List[Union[str, bytes]]) -> Dict[str, Any]:
    """A frequency-list run over files, as tavora-cli freqlist ARGUMENTS."""
