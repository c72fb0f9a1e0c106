"""Type stub of zemcomposition: editorial compositions read and written as
edit-tree JSON, the product's OTIO dialect and standard OpenTimelineIO JSON."""

import enum
import os
from fractions import Fraction
from typing import Iterable, Iterator, List, Optional, Tuple, Union, overload

__version__: str
DIALECTS: Tuple[str, str, str, str, str]

Rate = Union[Fraction, int, float, str]
Document = Union[str, bytes, bytearray, memoryview]

class Status(enum.IntEnum):
    """The library's status codes."""

    SUCCESS = 0
    NO_DATA = 512
    DMTREE_JSON_IMPORT_FAILED = 515
    JSON_GENERATION_FAILED = 516
    OTIO_IMPORT_FAILED = 517
    SOURCE_WITHOUT_INPUT = 528
    INPUT_WITHOUT_RESOLUTION = 529
    JSON_SYNTAX_ERROR = 775
    JSON_CONVERSION_FAILED = 780
    NO_FRAME_RATE_TEXT = 1001

class Error(Exception):
    """A failure of the library, with its status code and description."""

    code: int
    description: str
    def __init__(self, message: str, code: int = ..., description: str = ...) -> None: ...

class Time:
    """A time in whole frames at an exact rate."""

    frames: int
    rate: Fraction
    def __init__(self, frames: int, rate: Fraction) -> None: ...
    @property
    def seconds(self) -> float: ...
    @property
    def timecode(self) -> str: ...

class Bounds:
    """An axis-aligned box by its centre and its size."""

    center_x: float
    center_y: float
    size_x: float
    size_y: float
    def __init__(self, center_x: float, center_y: float, size_x: float, size_y: float) -> None: ...
    @property
    def center(self) -> Tuple[float, float]: ...
    @property
    def size(self) -> Tuple[float, float]: ...

class FrameRange:
    """A span of frames: from start for duration frames."""

    start: int
    duration: int
    def __init__(self, start: int, duration: int) -> None: ...
    @property
    def end(self) -> int: ...

class SourceRange:
    """What a clip plays of its media, at the media's rate."""

    start: Optional[int]
    duration: Fraction
    rate: Fraction
    def __init__(self, start: Optional[int], duration: Fraction, rate: Fraction) -> None: ...

class Media:
    """One media input of a clip."""

    kind: str
    path: str
    folder: str
    available_start: Optional[int]
    available_duration: int
    rate: Fraction
    def __init__(
        self,
        kind: str,
        path: str,
        folder: str,
        available_start: Optional[int],
        available_duration: int,
        rate: Fraction,
    ) -> None: ...

class Effect:
    """An effect of a clip or gap."""

    kind: str
    name: str
    muted: bool
    def __init__(self, kind: str, name: str, muted: bool) -> None: ...

class Colour:
    """A colour, each component from 0 to 1."""

    red: float
    green: float
    blue: float
    alpha: float
    def __init__(self, red: float, green: float, blue: float, alpha: float = ...) -> None: ...

class Note:
    """A review note shown over a range of record frames."""

    text: str
    range: FrameRange
    own_range: bool
    colour: Colour
    visible: bool
    def __init__(
        self, text: str, range: FrameRange, own_range: bool, colour: Colour, visible: bool
    ) -> None: ...

class Paint:
    """A paint layer of an annotation."""

    range: FrameRange
    own_range: bool
    strokes: int
    points: int
    visible: bool
    def __init__(
        self, range: FrameRange, own_range: bool, strokes: int, points: int, visible: bool
    ) -> None: ...

class Item:
    """A clip or a gap of a track."""

    kind: str
    name: str
    record: FrameRange
    source: SourceRange
    media: Tuple[Media, ...]
    target_url: str
    offline: bool
    clip_id: str
    reel: str
    effects: Tuple[Effect, ...]
    notes: Tuple[Note, ...]
    paint: Tuple[Paint, ...]
    def __init__(
        self,
        kind: str,
        name: str,
        record: FrameRange,
        source: SourceRange,
        media: Tuple[Media, ...] = ...,
        target_url: str = ...,
        offline: bool = ...,
        clip_id: str = ...,
        reel: str = ...,
        effects: Tuple[Effect, ...] = ...,
        notes: Tuple[Note, ...] = ...,
        paint: Tuple[Paint, ...] = ...,
    ) -> None: ...
    @property
    def is_clip(self) -> bool: ...
    @property
    def is_gap(self) -> bool: ...
    @property
    def has_paint(self) -> bool: ...

class Track:
    """A track in OpenTimelineIO's sense with its clips and gaps in order."""

    name: str
    kind: str
    stack: int
    items: Tuple[Item, ...]
    def __init__(self, name: str, kind: str, stack: int, items: Tuple[Item, ...]) -> None: ...
    @property
    def clips(self) -> Tuple[Item, ...]: ...

class Timeline:
    """A composition as a timeline."""

    has_timeline: bool
    name: str
    rate: Fraction
    picture_rate: Fraction
    start: int
    duration: int
    tracks: Tuple[Track, ...]
    def __init__(
        self,
        has_timeline: bool,
        name: str,
        rate: Fraction,
        picture_rate: Fraction,
        start: int,
        duration: int,
        tracks: Tuple[Track, ...],
    ) -> None: ...
    @property
    def clips(self) -> Tuple[Item, ...]: ...

class Transition:
    """A transition of a standard OTIO track, kept but not played."""

    track: int
    cut: int
    in_offset: int
    out_offset: int
    name: str
    type: str
    def __init__(
        self, track: int, cut: int, in_offset: int, out_offset: int, name: str, type: str
    ) -> None: ...
    @property
    def record(self) -> FrameRange: ...

class Loss:
    """One entry of the loss report of reading standard OTIO."""

    path: str
    schema: str
    what: str
    def __init__(self, path: str, schema: str, what: str) -> None: ...

class Look:
    """An ASC CDL look: slope, offset and power (red, green, blue), saturation."""

    slope: Tuple[float, float, float]
    offset: Tuple[float, float, float]
    power: Tuple[float, float, float]
    saturation: float
    def __init__(
        self,
        slope: Tuple[float, float, float],
        offset: Tuple[float, float, float],
        power: Tuple[float, float, float],
        saturation: float,
    ) -> None: ...

class ClipLook:
    """The look of one clip, with the clip's place, name, record range and media."""

    track: int
    item: int
    name: str
    record: FrameRange
    record_in: str
    record_out: str
    media: Tuple[str, ...]
    look: Look
    muted: bool
    def __init__(
        self,
        track: int,
        item: int,
        name: str,
        record: FrameRange,
        record_in: str,
        record_out: str,
        media: Tuple[str, ...],
        look: Look,
        muted: bool,
    ) -> None: ...

class LookMatch:
    """A correction of an ASC CDL file applied to a clip, and by which rule."""

    correction: int
    id: str
    track: int
    item: int
    clip: str
    rule: str
    had_look: bool
    changed: bool
    def __init__(
        self,
        correction: int,
        id: str,
        track: int,
        item: int,
        clip: str,
        rule: str,
        had_look: bool,
        changed: bool,
    ) -> None: ...

class LooksApplied:
    """What Composition.apply_looks did: the matches and the losses."""

    matches: Tuple[LookMatch, ...]
    losses: Tuple[Loss, ...]
    def __init__(self, matches: Tuple[LookMatch, ...], losses: Tuple[Loss, ...]) -> None: ...

class Change:
    """What happened to one clip between two cuts."""

    change: str
    also: Tuple[str, ...]
    old: Optional[Item]
    new: Optional[Item]
    head: int
    tail: int
    shift: int
    def __init__(
        self,
        change: str,
        also: Tuple[str, ...],
        old: Optional[Item],
        new: Optional[Item],
        head: int,
        tail: int,
        shift: int,
    ) -> None: ...
    @property
    def changed(self) -> bool: ...

class TrackChanges:
    """The changes of one pair of tracks, in record order."""

    old: Optional[str]
    new: Optional[str]
    changes: Tuple[Change, ...]
    def __init__(
        self, old: Optional[str], new: Optional[str], changes: Tuple[Change, ...]
    ) -> None: ...

class Comparison:
    """Two cuts compared: each pair of tracks with its changes."""

    tracks: Tuple[TrackChanges, ...]
    def __init__(self, tracks: Tuple[TrackChanges, ...]) -> None: ...
    @property
    def changes(self) -> Tuple[Change, ...]: ...
    @property
    def changed(self) -> bool: ...

class LeftNote:
    """A note or paint layer not carried, or carried over part of its frames."""

    kind: str
    text: str
    strokes: int
    record: FrameRange
    track: int
    item: int
    why: str
    carried: Optional[FrameRange]
    def __init__(
        self,
        kind: str,
        text: str,
        strokes: int,
        record: FrameRange,
        track: int,
        item: int,
        why: str,
        carried: Optional[FrameRange],
    ) -> None: ...

class NotesCarried:
    """What carry_notes did: the new cut with the notes, and what stayed behind."""

    composition: Composition
    notes: int
    paint: int
    already_there: int
    left_behind: Tuple[LeftNote, ...]
    def __init__(
        self,
        composition: Composition,
        notes: int,
        paint: int,
        already_there: int,
        left_behind: Tuple[LeftNote, ...],
    ) -> None: ...

class Composition:
    """An editorial composition kept as an edit tree."""

    @staticmethod
    def create(id: str, name: str, rate: Rate) -> Composition:
        """A new composition with one empty composition node at rate."""
    @staticmethod
    def from_json(
        text: Document,
        dialect: Optional[str] = None,
        id: str = "",
        rate: Optional[Rate] = None,
        *,
        timeline: Optional[Union[str, int]] = None,
    ) -> Composition:
        """Reads a document ("dmtree", "otio", "otio-std", "edl", "xmeml", "fcpxml", or detected when None)."""
    @staticmethod
    def from_text(
        text: Document,
        dialect: Optional[str] = None,
        id: str = "",
        rate: Optional[Rate] = None,
        *,
        timeline: Optional[Union[str, int]] = None,
    ) -> Composition:
        """The same as from_json."""
    @staticmethod
    def from_file(
        path: Union[str, bytes, os.PathLike],
        dialect: Optional[str] = None,
        id: Optional[str] = None,
        rate: Optional[Rate] = None,
        *,
        timeline: Optional[Union[str, int]] = None,
    ) -> Composition:
        """Reads the document in a file, as from_json does."""
    def to_text(
        self,
        dialect: str,
        *,
        otio_version: Optional[str] = None,
        track: Union[int, str, None] = None,
        reel_length: int = 8,
        non_drop: bool = False,
        fcpxml_version: Optional[str] = None,
    ) -> str:
        """The composition as text of a dialect, "edl", "xmeml" and "fcpxml" included."""
    def to_text_with_losses(
        self,
        dialect: str,
        *,
        otio_version: Optional[str] = None,
        track: Union[int, str, None] = None,
        reel_length: int = 8,
        non_drop: bool = False,
        fcpxml_version: Optional[str] = None,
    ) -> Tuple[str, Tuple[Loss, ...]]:
        """to_text's text with what it could not hold."""
    def to_json(self, dialect: str, otio_version: Optional[str] = None) -> str:
        """The composition as JSON of a dialect, as zemcomp convert writes it."""
    def clone(self) -> Composition:
        """A new, independent copy."""
    def output_bounds(self, frame: int) -> Bounds:
        """The picture area covered at a frame."""
    def apply_looks(self, looks: Union[str, bytes, os.PathLike]) -> LooksApplied:
        """Gives each clip the look of the ASC CDL correction that names it."""
    def looks(self) -> Tuple[ClipLook, ...]:
        """The looks of the clips that have one."""
    def write_looks(self, path: Union[str, bytes, os.PathLike], form: Optional[str] = None) -> None:
        """Writes the clips' looks as an ASC CDL file ("ccc", "cdl" or "cc")."""
    @property
    def id(self) -> str: ...
    @property
    def name(self) -> str: ...
    @property
    def dialect(self) -> Optional[str]: ...
    @property
    def duration(self) -> Time: ...
    @property
    def start_time(self) -> Time: ...
    @property
    def timeline(self) -> Timeline: ...
    @property
    def tracks(self) -> Tuple[Track, ...]: ...
    @property
    def transitions(self) -> Tuple[Transition, ...]: ...
    @property
    def losses(self) -> Tuple[Loss, ...]: ...

class CompositionList:
    """A mutable sequence of compositions holding a reference to each."""

    @overload
    def __init__(self) -> None: ...
    @overload
    def __init__(self, compositions: Iterable[Composition]) -> None: ...
    def __len__(self) -> int: ...
    @overload
    def __getitem__(self, index: int) -> Composition: ...
    @overload
    def __getitem__(self, index: slice) -> List[Composition]: ...
    def __setitem__(self, index: int, composition: Composition) -> None: ...
    def __delitem__(self, index: Union[int, slice]) -> None: ...
    def __iter__(self) -> Iterator[Composition]: ...
    def __reversed__(self) -> Iterator[Composition]: ...
    def __contains__(self, composition: object) -> bool: ...
    def append(self, composition: Composition) -> None: ...
    def extend(self, compositions: Iterable[Composition]) -> None: ...
    def insert(self, index: int, composition: Composition) -> None: ...
    def pop(self, index: int = -1) -> Composition: ...
    def remove(self, composition: Composition) -> None: ...
    def index(self, composition: Composition) -> int: ...
    def count(self, composition: object) -> int: ...
    def reverse(self) -> None: ...
    def clear(self) -> None: ...

def timecode(frames: int, rate: Rate) -> str:
    """The timecode of a frame count at a rate."""

def compare(old: Composition, new: Composition, track: Optional[str] = None) -> Comparison:
    """Two cuts of one edit compared clip by clip."""

def carry_notes(old: Composition, new: Composition, track: Optional[str] = None) -> NotesCarried:
    """The notes of old's clips carried onto a copy of new, at the same source frames."""

def detect_dialect(text: Union[str, bytes]) -> str:
    """The dialect a document's text is written in."""

def release_spare_memory() -> int:
    """Gives back the pages kept from released long texts; returns their bytes."""
