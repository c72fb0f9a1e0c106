"""compare and carry_notes: two hand-written cuts of one edit, their change list
and the notes of the old carried onto the new, each value worked out by hand.

The old cut, 24 fps from 01:00:00:00 (86400): sh010 1000+48, sh020 2000+24,
sh030 3000+24. The new: sh010 1001+47 (its head trimmed a frame), sh099
5000+12 (inserted), sh020 2003+24 (slipped 3); sh030 is gone. sh020 starts 59
frames in, 11 after its old 48."""

import json

import pytest

import zemcomposition as zc


def edl(title, clips, start=86400):
    """An EDL of (name, source, length, [(source frame, note)]) back to back."""
    lines, record = [f"TITLE: {title}"], start
    for number, (name, source, length, notes) in enumerate(clips, 1):
        lines.append(f"{number:03}  R{name}  V  C  {source} {source + length} {record} {record + length}")
        lines.append(f"* FROM CLIP NAME: {name}")
        lines.append(f"* SOURCE FILE: /shots/{name}.mov")
        lines += [f"* LOC: {record + frame - source} RED {text}" for frame, text in notes]
        record += length
    return zc.Composition.from_json("\n".join(lines) + "\n", dialect="edl")


OLD = [
    ("sh010", 1000, 48, [(1000, "first frame"), (1010, "fix the edge")]),
    ("sh020", 2000, 24, [(2001, "too dark")]),
    ("sh030", 3000, 24, [(3005, "cut later")]),
]
NEW = [("sh010", 1001, 47, []), ("sh099", 5000, 12, []), ("sh020", 2003, 24, [])]


def test_each_change_has_the_fields_of_the_json():
    comparison = zc.compare(edl("cut 12", OLD), edl("cut 13", NEW))
    (track,) = comparison.tracks
    assert (track.old, track.new) == ("V", "V")
    rows = [
        (c.change, c.also, c.old and c.old.name, c.new and c.new.name, c.head, c.tail, c.shift)
        for c in track.changes
    ]
    # sh030 was after sh020 in the old cut: removed, it is listed after it.
    assert rows == [
        ("trimmed", (), "sh010", "sh010", -1, 0, 0),
        ("added", (), None, "sh099", 0, 0, 0),
        ("slipped", ("moved",), "sh020", "sh020", -3, 3, 11),
        ("removed", (), "sh030", None, 0, 0, 0),
    ]
    assert track.changes[2].new.record == zc.FrameRange(86459, 24)
    assert comparison.changed
    assert not zc.compare(edl("cut 12", OLD), edl("again", OLD)).changed


def test_compare_agrees_with_the_tool(tmp_path, zemcomp):
    old, new = tmp_path / "old.otio", tmp_path / "new.otio"
    old.write_text(edl("cut 12", OLD).to_text("otio-std"))
    new.write_text(edl("cut 13", NEW).to_text("otio-std"))
    listed = zemcomp("compare", "--json", old, new)
    compared = zc.compare(zc.Composition.from_file(old), zc.Composition.from_file(new))
    assert [
        (c["change"], tuple(c["also"]), c["head"], c["tail"], c["shift"])
        for c in listed["tracks"][0]["changes"]
    ] == [(c.change, c.also, c.head, c.tail, c.shift) for c in compared.changes]


def test_notes_land_on_their_source_frames_of_a_copy():
    old, new = edl("cut 12", OLD), edl("cut 13", NEW)
    carried = zc.carry_notes(old, new)
    # "fix the edge" on 1010: 86400 + 1010 - 1001.
    (sh010, _, _) = carried.composition.timeline.tracks[0].items
    assert [(n.text, n.range) for n in sh010.notes] == [("fix the edge", zc.FrameRange(86409, 1))]
    assert not any(item.notes for item in new.timeline.clips)
    assert (carried.notes, carried.paint, carried.already_there) == (1, 0, 0)
    assert [(n.kind, n.text, n.record.start, n.item, n.carried) for n in carried.left_behind] == [
        ("note", "first frame", 86400, 0, None),
        ("note", "too dark", 86449, 1, None),
        ("note", "cut later", 86477, 2, None),
    ]
    assert carried.left_behind[2].why == "its clip is not in the new cut"
    # Carried once more onto the result, nothing is doubled.
    again = zc.carry_notes(old, carried.composition)
    assert (again.notes, again.already_there) == (0, 1)


def test_a_track_that_is_not_there_raises():
    with pytest.raises(zc.Error) as raised:
        zc.compare(edl("a", OLD), edl("b", NEW), track="A9")
    assert raised.value.code == zc.Status.NO_DATA
    assert "no track \"A9\"" in str(raised.value)
    assert [c.change for c in zc.compare(edl("a", OLD), edl("b", OLD), track="1").changes] == [
        "same"
    ] * 3
