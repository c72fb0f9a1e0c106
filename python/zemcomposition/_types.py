"""The plain values zemcomposition hands out: times, bounds, the timeline view,
loss entries, and the exception class. They hold no reference to a composition
and do not change when it does."""

from __future__ import annotations

import enum
from dataclasses import dataclass
from fractions import Fraction
from typing import TYPE_CHECKING, Optional, Tuple

if TYPE_CHECKING:
    from ._zemcomposition import Composition

__all__ = [
    "Error",
    "Status",
    "Time",
    "Bounds",
    "FrameRange",
    "SourceRange",
    "Media",
    "Effect",
    "Colour",
    "Note",
    "Paint",
    "Item",
    "Track",
    "Timeline",
    "Loss",
    "Look",
    "ClipLook",
    "LookMatch",
    "LooksApplied",
    "Change",
    "TrackChanges",
    "Comparison",
    "LeftNote",
    "NotesCarried",
]


class Status(enum.IntEnum):
    """The library's status codes; Error.code is one of them."""

    SUCCESS = 0
    NO_DATA = 512  #: no tree and no text, or no reel and composition node
    DMTREE_JSON_IMPORT_FAILED = 515  #: the edit-tree JSON could not be imported
    JSON_GENERATION_FAILED = 516  #: no JSON text could be produced from the tree
    OTIO_IMPORT_FAILED = 517  #: the OTIO JSON could not be imported
    SOURCE_WITHOUT_INPUT = 528  #: a source segment has no media input
    INPUT_WITHOUT_RESOLUTION = 529  #: a media input has no primary resolution
    JSON_SYNTAX_ERROR = 775  #: the text is not well-formed JSON
    JSON_CONVERSION_FAILED = 780  #: any other failure of a JSON conversion
    NO_FRAME_RATE_TEXT = 1001  #: a rate has no frame-rate text, or a text no rate


class Error(Exception):
    """A failure of the library: `code` is the numeric status (a Status member
    when the code is known), `description` its meaning, and the message says
    what failed, where and why, ending in "(status N: description)"."""

    def __init__(self, message: str, code: int = 0, description: str = "") -> None:
        super().__init__(message)
        try:
            self.code: int = Status(code)
        except ValueError:
            self.code = code
        self.description: str = description

    def __reduce__(self):
        return (type(self), (str(self), int(self.code), self.description))


@dataclass(frozen=True)
class Time:
    """A time in whole frames at an exact rate."""

    frames: int
    rate: Fraction

    @property
    def seconds(self) -> float:
        """The time in seconds (frames / rate)."""
        return float(Fraction(self.frames) / self.rate) if self.rate else 0.0

    @property
    def timecode(self) -> str:
        """The time as timecode: "HH:MM:SS:FF" (drop-frame "HH:MM:SS;FF" at 29.97
        and 59.94)."""
        from ._zemcomposition import timecode

        return timecode(self.frames, self.rate)

    def __str__(self) -> str:
        return f"{self.timecode} ({self.frames} frames at {self.rate} fps)"


@dataclass(frozen=True)
class Bounds:
    """An axis-aligned box by its centre and its size: it spans
    center_x +- size_x / 2 and center_y +- size_y / 2."""

    center_x: float
    center_y: float
    size_x: float
    size_y: float

    @property
    def center(self) -> Tuple[float, float]:
        """(center_x, center_y)"""
        return (self.center_x, self.center_y)

    @property
    def size(self) -> Tuple[float, float]:
        """(size_x, size_y)"""
        return (self.size_x, self.size_y)


@dataclass(frozen=True)
class FrameRange:
    """A span of frames: from `start` for `duration` frames."""

    start: int
    duration: int

    @property
    def end(self) -> int:
        """The first frame after the range."""
        return self.start + self.duration


@dataclass(frozen=True)
class SourceRange:
    """What a clip plays of its media. `start` is None when the edit tree does
    not know where in the media the clip starts; `duration` is exact, and not a
    whole number when the source and composition rates do not divide (48 frames
    at 24 fps play 47.952 frames of 23.976 media)."""

    start: Optional[int]
    duration: Fraction
    rate: Fraction


@dataclass(frozen=True)
class Media:
    """One media input of a clip. `kind` is "mp4", "file", "movie" or "other";
    the available range is at `rate`, its start None when unknown."""

    kind: str
    path: str
    folder: str
    available_start: Optional[int]
    available_duration: int
    rate: Fraction


@dataclass(frozen=True)
class Effect:
    """An effect of a clip or gap. `kind` is "Comp", "AngularMask", "CDL",
    "Annotation" or "Other"."""

    kind: str
    name: str
    muted: bool


@dataclass(frozen=True)
class Colour:
    """A colour, each component from 0 to 1."""

    red: float
    green: float
    blue: float
    alpha: float = 1.0


@dataclass(frozen=True)
class Note:
    """A review note: one text paragraph of an annotation, shown over `range`
    (absolute record frames; the range of its clip or gap when `own_range` is
    false)."""

    text: str
    range: FrameRange
    own_range: bool
    colour: Colour
    visible: bool


@dataclass(frozen=True)
class Paint:
    """A paint layer of an annotation: `strokes` strokes of `points` points in
    all, shown over `range` as for Note."""

    range: FrameRange
    own_range: bool
    strokes: int
    points: int
    visible: bool


@dataclass(frozen=True)
class Item:
    """A clip or a gap of a track. `kind` is "clip" or "gap"; `record` is where
    it plays, in absolute frames at the composition's rate; `source` what it
    plays (for a gap: from 0 for its length at the composition's rate). `media`
    holds the clip's inputs, the primary one first, whose path is `target_url`;
    `offline` marks a clip without usable media; `reel` is the tape or card
    name an EDL gave it (kept in standard OTIO as "cmx_3600" metadata), "" when
    it has none."""

    kind: str
    name: str
    record: FrameRange
    source: SourceRange
    media: Tuple[Media, ...] = ()
    target_url: str = ""
    offline: bool = False
    clip_id: str = ""
    reel: str = ""
    effects: Tuple[Effect, ...] = ()
    notes: Tuple[Note, ...] = ()
    paint: Tuple[Paint, ...] = ()

    @property
    def is_clip(self) -> bool:
        """True for a clip."""
        return self.kind == "clip"

    @property
    def is_gap(self) -> bool:
        """True for a gap."""
        return self.kind == "gap"

    @property
    def has_paint(self) -> bool:
        """True when any of its annotations holds a paint stroke."""
        return any(layer.strokes for layer in self.paint)


@dataclass(frozen=True)
class Track:
    """A track in OpenTimelineIO's sense (a layer of the edit tree) with its
    clips and gaps in playing order. `kind` is "video", "audio" or "none";
    `stack` counts the edit-tree track (OTIO stack) holding it, from 0."""

    name: str
    kind: str
    stack: int
    items: Tuple[Item, ...]

    @property
    def clips(self) -> Tuple[Item, ...]:
        """The track's clips, without its gaps."""
        return tuple(item for item in self.items if item.kind == "clip")


@dataclass(frozen=True)
class Timeline:
    """A composition as a timeline: its name, rate, start and duration (in
    frames at its rate) and its tracks. `has_timeline` is false for a document
    without one (the view is then empty). `picture_rate` is the rate its
    pictures run at, for timecode: `rate` itself, unless that is a sound's
    sample rate (above 1000 frames a second), as a standard OTIO cut whose sound
    lands on whole frames only at 48000 is timed at; then the source rate of its
    first clip at a picture's rate, on a video track first."""

    has_timeline: bool
    name: str
    rate: Fraction
    picture_rate: Fraction
    start: int
    duration: int
    tracks: Tuple[Track, ...]

    @property
    def clips(self) -> Tuple[Item, ...]:
        """Every clip of every track, track by track."""
        return tuple(item for track in self.tracks for item in track.clips)


@dataclass(frozen=True)
class Transition:
    """A transition of a standard OTIO track, which the edit tree keeps but does
    not play (it plays the cut): the index of its track in Timeline.tracks, the
    frame of its cut (where the item after it starts, or the track's end), the
    frames it spans before and after the cut (all at the composition's rate,
    record frames absolute as Timeline counts them), its name and its
    "transition_type"."""

    track: int
    cut: int
    in_offset: int
    out_offset: int
    name: str
    type: str

    @property
    def record(self) -> FrameRange:
        """The record frames it spans: its offsets around its cut."""
        return FrameRange(self.cut - self.in_offset, self.in_offset + self.out_offset)


@dataclass(frozen=True)
class Loss:
    """What reading or writing a dialect dropped or approximated: where (a JSON
    Pointer into standard OTIO, "line N" of an EDL, "track V1, 00:00:01:00" of
    a composition written as an EDL), the schema of the object ("Clip.2",
    "Marker.2", "M2", "clip", ...), and what happened and why."""

    path: str
    schema: str
    what: str


@dataclass(frozen=True)
class Look:
    """An ASC CDL look: slope, offset and power for red, green and blue, and a
    saturation. The identity is slope 1, offset 0, power 1, saturation 1."""

    slope: Tuple[float, float, float]
    offset: Tuple[float, float, float]
    power: Tuple[float, float, float]
    saturation: float


@dataclass(frozen=True)
class ClipLook:
    """The look of one clip: its track and item indices in Timeline.tracks and
    Track.items, its name, its record range (absolute frames at the composition's
    rate, and as timecode from its first frame to the frame after its last), its
    media paths (primary first), the look and whether it is switched off."""

    track: int
    item: int
    name: str
    record: FrameRange
    record_in: str
    record_out: str
    media: Tuple[str, ...]
    look: Look
    muted: bool


@dataclass(frozen=True)
class LookMatch:
    """A correction of an ASC CDL file applied to a clip: the correction's index
    in the file and its id, the clip's track and item indices and name, the rule
    that matched ("place", "media", "name", "reel", "media file name"), whether
    the clip had a look before and whether its values changed."""

    correction: int
    id: str
    track: int
    item: int
    clip: str
    rule: str
    had_look: bool
    changed: bool


@dataclass(frozen=True)
class LooksApplied:
    """What Composition.apply_looks did: the matches, and the losses (values that
    could not be read, corrections that named no clip, clips two corrections
    named, looks whose values changed), each at the "line N" of the file."""

    matches: Tuple[LookMatch, ...]
    losses: Tuple[Loss, ...]


@dataclass(frozen=True)
class Change:
    """What happened to one clip between two cuts (zemcomposition.compare):
    `change` is "same", "moved", "trimmed", "slipped", "version", "added" or
    "removed"; `also` the further changes ("trimmed", "slipped", "version",
    "moved", "speed", "look", "effects", "enabled"); `old` and `new` the clip
    in each cut (None on the side it is missing from); `head` and `tail` the
    frames the new clip shows more (positive) or less at each end, at its source
    rate; `shift` how far it moved, at the new cut's rate, from each cut's
    start."""

    change: str
    also: Tuple[str, ...]
    old: Optional[Item]
    new: Optional[Item]
    head: int
    tail: int
    shift: int

    @property
    def changed(self) -> bool:
        """True unless the clip is the same, with nothing else changed."""
        return self.change != "same" or bool(self.also)


@dataclass(frozen=True)
class TrackChanges:
    """The changes of one pair of tracks, in record order: the tracks' names
    (None for a track one cut does not have) and the clips' changes."""

    old: Optional[str]
    new: Optional[str]
    changes: Tuple[Change, ...]


@dataclass(frozen=True)
class Comparison:
    """Two cuts compared: each pair of tracks with its changes."""

    tracks: Tuple[TrackChanges, ...]

    @property
    def changes(self) -> Tuple[Change, ...]:
        """Every change of every pair of tracks, track by track."""
        return tuple(change for track in self.tracks for change in track.changes)

    @property
    def changed(self) -> bool:
        """True when any clip changed; a new timeline name alone is no change."""
        return any(change.changed for change in self.changes)


@dataclass(frozen=True)
class LeftNote:
    """A review note ("note") or paint layer ("paint") of the old cut that was
    not carried, or carried over part of its frames only: its text (paint has
    none) and strokes, where it showed in the old cut (absolute record frames),
    its track and item there, why, and for one carried in part where it now
    shows in the new cut (None otherwise)."""

    kind: str
    text: str
    strokes: int
    record: FrameRange
    track: int
    item: int
    why: str
    carried: Optional[FrameRange]


@dataclass(frozen=True)
class NotesCarried:
    """What zemcomposition.carry_notes did: the new cut with the notes carried
    (a copy), how many notes and paint layers went, how many were already there,
    and those left behind or carried in part."""

    composition: "Composition"
    notes: int
    paint: int
    already_there: int
    left_behind: Tuple[LeftNote, ...]
