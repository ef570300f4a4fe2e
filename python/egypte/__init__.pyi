# Type stub of the package egypte (its functions are compiled, in
# egypte._egypte: the signatures that editors and type checkers cannot read
# from them). Integers are Python's, of any size; every constraint is a
# keyword argument.
from typing import Any, Dict, Iterator, List, Optional, Sequence, Tuple, TypedDict

__version__: str

class Contraintes(TypedDict, total=False):
    longueur: int
    repetitions: bool
    parite: str  # "paire", "impaire" or "indifferente"
    min_x1: int
    max_xn: int
    min_n: int
    max_n: int
    sans_un: bool
    debut: Sequence[int]
    fils: int

def developpements(
    p: int, q: int, *, longueur: Optional[int] = ..., repetitions: bool = ..., parite: Optional[str] = ...,
    min_x1: Optional[int] = ..., max_xn: Optional[int] = ..., min_n: Optional[int] = ...,
    max_n: Optional[int] = ..., sans_un: bool = ..., debut: Optional[Sequence[int]] = ...,
    fils: Optional[int] = ...
) -> Iterator[Tuple[int, ...]]: ...

def compter(
    p: int, q: int, *, longueur: Optional[int] = ..., repetitions: bool = ..., parite: Optional[str] = ...,
    min_x1: Optional[int] = ..., max_xn: Optional[int] = ..., min_n: Optional[int] = ...,
    max_n: Optional[int] = ..., sans_un: bool = ..., debut: Optional[Sequence[int]] = ...,
    fils: Optional[int] = ...
) -> Dict[str, Any]: ...

def longueur_minimale(
    p: int, q: int, *, longueur: Optional[int] = ..., repetitions: bool = ..., parite: Optional[str] = ...,
    min_x1: Optional[int] = ..., max_xn: Optional[int] = ..., min_n: Optional[int] = ...,
    max_n: Optional[int] = ..., sans_un: bool = ..., debut: Optional[Sequence[int]] = ...,
    fils: Optional[int] = ...
) -> Optional[int]: ...

def balayer(
    q1: int, q2: int, moins_un: bool = ..., premiers: bool = ..., *, longueur: Optional[int] = ...,
    repetitions: bool = ..., parite: Optional[str] = ..., min_x1: Optional[int] = ...,
    max_xn: Optional[int] = ..., min_n: Optional[int] = ..., max_n: Optional[int] = ...,
    sans_un: bool = ..., fils: Optional[int] = ..., numerateur: Optional[int] = ...,
    compter: bool = ..., meilleur: bool = ..., au_plus: Optional[int] = ...
) -> Dict[str, Any]: ...

def estimer(
    p: int, q: int, secondes: float = ..., graine: int = ..., *, longueur: int, repetitions: bool = ...,
    parite: Optional[str] = ..., min_x1: Optional[int] = ..., max_xn: Optional[int] = ...,
    min_n: Optional[int] = ..., max_n: Optional[int] = ..., sans_un: bool = ...,
    debut: Optional[Sequence[int]] = ..., fils: Optional[int] = ...
) -> Dict[str, Any]: ...

def meilleur(
    p: int, q: int, *, longueur: Optional[int] = ..., repetitions: bool = ..., parite: Optional[str] = ...,
    min_x1: Optional[int] = ..., max_xn: Optional[int] = ..., min_n: Optional[int] = ...,
    max_n: Optional[int] = ..., sans_un: bool = ..., debut: Optional[Sequence[int]] = ...,
    fils: Optional[int] = ...
) -> Dict[str, Any]: ...
