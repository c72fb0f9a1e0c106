"""zemcomposition: editorial compositions (timelines kept as edit trees), read
and written as edit-tree JSON, the product's OTIO dialect and standard
OpenTimelineIO JSON; their duration, start, output bounds and timeline.

    import zemcomposition as zc
    cut = zc.Composition.from_file("short-cut.otio.json")
    print(cut.duration.timecode, [clip.name for clip in cut.timeline.clips])
    open("cut.otio", "w").write(cut.to_json("otio-std"))

Failures raise zemcomposition.Error, whose `code` is the library's status code.
"""

import collections.abc as _abc

from ._types import (
    Bounds,
    Change,
    ClipLook,
    Colour,
    Comparison,
    Effect,
    Error,
    FrameRange,
    Item,
    LeftNote,
    Look,
    LookMatch,
    LooksApplied,
    Loss,
    Media,
    Note,
    NotesCarried,
    Paint,
    SourceRange,
    Status,
    Time,
    Timeline,
    Track,
    TrackChanges,
    Transition,
)
from ._zemcomposition import (
    DIALECTS,
    Composition,
    CompositionList,
    __version__,
    carry_notes,
    compare,
    detect_dialect,
    release_spare_memory,
    timecode,
)

_abc.MutableSequence.register(CompositionList)

__all__ = [
    "Bounds",
    "Change",
    "ClipLook",
    "Colour",
    "Comparison",
    "Composition",
    "CompositionList",
    "DIALECTS",
    "Effect",
    "Error",
    "FrameRange",
    "Item",
    "LeftNote",
    "Look",
    "LookMatch",
    "LooksApplied",
    "Loss",
    "Media",
    "Note",
    "NotesCarried",
    "Paint",
    "SourceRange",
    "Status",
    "Time",
    "Timeline",
    "Track",
    "TrackChanges",
    "Transition",
    "__version__",
    "carry_notes",
    "compare",
    "detect_dialect",
    "release_spare_memory",
    "timecode",
]
