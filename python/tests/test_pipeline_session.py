"""A pipeline engineer's session: load the examples, inspect them, convert them,
round-trip them, and find what zemcomp finds in the same files."""

import json
from fractions import Fraction

import pytest

import zemcomposition as zc
from conftest import DATA, EXAMPLES, documents, example_paths


def test_inspect_the_bundled_cut():
    cut = zc.Composition.from_file(EXAMPLES / "short-cut.otio.json", id="reel-1")
    assert cut.id == "reel-1"
    assert cut.dialect == "otio"
    assert cut.name == "Short cut"
    assert cut.start_time == zc.Time(86400, Fraction(24))
    assert cut.start_time.timecode == "01:00:00:00"
    assert cut.duration.frames == 168 and cut.duration.rate == 24
    assert cut.duration.seconds == pytest.approx(7.0)
    assert isinstance(cut.duration.rate, Fraction)

    assert [(t.name, t.kind) for t in cut.tracks] == [
        ("V1", "video"),
        ("V2 title", "video"),
        ("A1 dialogue", "audio"),
    ]
    v1 = cut.tracks[0]
    assert [item.kind for item in v1.items] == ["clip", "clip", "gap", "clip"]
    first = v1.items[0]
    assert first.name == "sh010_comp_v003"
    assert first.record == zc.FrameRange(86400, 48) and first.record.end == 86448
    assert first.source.start == 1009 and first.source.duration == 48
    assert first.target_url == "/shows/harbour/sh010/sh010_comp_v003.mov"
    assert first.media[0].path == first.target_url and not first.offline
    gap = v1.items[2]
    assert gap.is_gap and gap.record == zc.FrameRange(86520, 12) and gap.media == ()
    assert "sh010_comp_v003" in repr(first) and "FrameRange(start=86400" in repr(first)
    assert [clip.name for clip in cut.timeline.clips][:2] == ["sh010_comp_v003", "sh020_comp_v007"]

    bounds = cut.output_bounds(86400)
    assert bounds.center == (960.0, 540.0) and bounds.size == (1920.0, 1080.0)


def test_documents_as_text_bytes_or_paths_read_the_same():
    path = EXAMPLES / "graded-shot.otio.json"
    expected = zc.Composition.from_file(path).timeline
    data = path.read_bytes()
    for text in (data.decode(), data, bytearray(data), memoryview(data)):
        cut = zc.Composition.from_json(text)
        assert cut.id == "" and cut.dialect == "otio" and cut.timeline == expected
    assert zc.Composition.from_file(str(path)).id == str(path)
    assert zc.Composition.from_json(data, "otio", id="shot").id == "shot"


def test_review_notes_show_on_their_clips():
    notes = zc.Composition.from_file(EXAMPLES / "review-notes.otio.json")
    clip, gap, _ = notes.tracks[0].items
    assert [effect.kind for effect in clip.effects] == ["Annotation"]
    assert clip.notes[0].text.startswith("Boat wake too bright")
    assert clip.notes[0].range == zc.FrameRange(1010, 24)
    assert clip.notes[0].colour == zc.Colour(1.0, 1.0, 0.0, 1.0)
    assert clip.has_paint and gap.has_paint
    assert gap.notes[0].text == "sh025 goes here (in progress)"


def test_convert_and_round_trip_every_dialect():
    for path in example_paths():
        original = zc.Composition.from_file(path)
        view = original.timeline
        for dialect in ("dmtree", "otio", "otio-std"):  # an EDL holds less: test_edl.py
            text = original.to_json(dialect)
            assert zc.detect_dialect(text) == dialect
            again = zc.Composition.from_json(text)
            assert again.dialect == dialect and again.losses == ()
            # The same timeline, and a second trip writes the same text.
            assert again.timeline == view, (path.name, dialect)
            assert again.to_json(dialect) == text
            assert again.duration == original.duration
            assert again.start_time == original.start_time


def test_a_standard_document_from_elsewhere_says_what_it_lost():
    cut = zc.Composition.from_file(DATA / "conform-cut.otio")
    assert cut.dialect == "otio-std"
    assert cut.losses == (
        zc.Loss(
            "/tracks/children/0/effects/0",
            "Effect.1",
            "effect not applied: the edit tree has effects on segments only"
            " (kept, and written back as it came)",
        ),
    )
    picture, sound = cut.tracks
    assert [item.name for item in picture.items] == ["slug", "harbour_wide", "pickup_offline"]
    assert picture.items[2].offline and picture.items[2].record == zc.FrameRange(90075, 30)
    assert sound.kind == "audio" and sound.items[0].record.duration == 105
    assert cut.duration.timecode == "00:00:04:05" and cut.start_time.rate == 25
    # Written again as standard OTIO, it reads back losing nothing more: the
    # track's effect was kept, so it is there to report again.
    again = zc.Composition.from_json(cut.to_json("otio-std"))
    assert again.losses == cut.losses and again.timeline == cut.timeline


def test_transitions_of_a_standard_track_are_found_at_their_cuts():
    def time(value):
        return {"OTIO_SCHEMA": "RationalTime.1", "rate": 25.0, "value": value}

    def clip(name, frames):
        return {
            "OTIO_SCHEMA": "Clip.2",
            "name": name,
            "source_range": {
                "OTIO_SCHEMA": "TimeRange.1",
                "start_time": time(0),
                "duration": time(frames),
            },
        }

    dissolve = {
        "OTIO_SCHEMA": "Transition.1",
        "name": "mix",
        "transition_type": "SMPTE_Dissolve",
        "in_offset": time(5),
        "out_offset": time(10),
    }
    document = {
        "OTIO_SCHEMA": "Timeline.1",
        "name": "mix",
        "global_start_time": time(90000),
        "tracks": {
            "OTIO_SCHEMA": "Stack.1",
            "children": [
                {
                    "OTIO_SCHEMA": "Track.1",
                    "kind": "Video",
                    "children": [clip("a", 50), dissolve, clip("b", 25)],
                }
            ],
        },
    }
    cut = zc.Composition.from_json(json.dumps(document))
    (found,) = cut.transitions
    b = cut.tracks[0].items[1]
    assert (found.track, found.cut, found.in_offset, found.out_offset) == (0, b.record.start, 5, 10)
    assert (found.name, found.type) == ("mix", "SMPTE_Dissolve")
    assert found.record == zc.FrameRange(90045, 15)
    # It is kept, so a copy written and read again has it too; a document
    # without transitions has none.
    assert zc.Composition.from_json(cut.to_json("otio-std")).transitions == cut.transitions
    assert zc.Composition.from_file(DATA / "conform-cut.otio").transitions == ()


def test_a_cut_timed_at_its_sounds_rate_has_its_pictures_rate():
    # 2 s of sound beside 48 frames at 23.976: the sound ends between two
    # frames, so the cut is timed at 48000, 2002 samples a frame.
    def time(rate, value):
        return {"OTIO_SCHEMA": "RationalTime.1", "rate": rate, "value": value}

    def clip(name, rate, frames):
        return {
            "OTIO_SCHEMA": "Clip.2",
            "name": name,
            "source_range": {
                "OTIO_SCHEMA": "TimeRange.1",
                "start_time": time(rate, 0),
                "duration": time(rate, frames),
            },
        }

    def track(kind, child):
        return {"OTIO_SCHEMA": "Track.1", "kind": kind, "children": [child]}

    film = 24000 / 1001
    document = {
        "OTIO_SCHEMA": "Timeline.1",
        "name": "mix",
        "global_start_time": time(film, 86313),
        "tracks": {
            "OTIO_SCHEMA": "Stack.1",
            "children": [
                track("Audio", clip("snd", 48000, 96000)),
                track("Video", clip("pic", film, 48)),
            ],
        },
    }
    view = zc.Composition.from_json(json.dumps(document)).timeline
    assert view.rate == 48000 and view.picture_rate == Fraction(24000, 1001)
    assert view.start == 86313 * 2002
    # The start as the picture's timecode.
    frame = view.start * view.picture_rate // view.rate
    assert zc.timecode(frame, view.picture_rate) == "00:59:56:09"
    # A cut at a picture's rate is shown at it.
    plain = zc.Composition.from_file(DATA / "conform-cut.otio").timeline
    assert plain.picture_rate == plain.rate


def test_create_a_composition_at_each_kind_of_rate():
    for rate, exact in [
        (Fraction(24000, 1001), Fraction(24000, 1001)),
        (23.976, Fraction(24000, 1001)),
        (29.97, Fraction(30000, 1001)),
        (25, Fraction(25)),
        ("59.94", Fraction(60000, 1001)),
        ("48/2", Fraction(24)),
    ]:
        made = zc.Composition.create("new", "Reel 2", rate)
        assert made.id == "new" and made.dialect is None and made.losses == ()
        assert made.name == "Reel 2"
        assert made.start_time.rate == exact, rate
        assert made.duration.frames == 0
        text = made.to_json("dmtree")
        assert zc.Composition.from_json(text, "dmtree").start_time.rate == exact


def test_timecode_at_drop_and_non_drop_rates():
    assert zc.timecode(86400, 24) == "01:00:00:00"
    assert zc.timecode(1800, Fraction(30000, 1001)) == "00:01:00;02"
    assert zc.timecode(-25, 25) == "-00:00:01:00"
    assert zc.timecode(25 * 3600 * 25, "25") == "25:00:00:00"
    assert zc.Time(3600, Fraction(60000, 1001)).timecode == "00:01:00;04"


def test_clone_is_independent_and_keeps_what_reading_said():
    cut = zc.Composition.from_file(DATA / "conform-cut.otio")
    copy = cut.clone()
    assert copy is not cut and copy.id == cut.id
    assert copy.losses == cut.losses and copy.dialect == "otio-std"
    assert copy.to_json("otio-std") == cut.to_json("otio-std")


@pytest.mark.parametrize("path", documents(), ids=lambda p: p.name)
def test_same_answers_as_zemcomp(zemcomp, path, tmp_path):
    cut = zc.Composition.from_file(path)
    start = cut.start_time
    info = zemcomp("info", path, "--json", "--at", start.frames, "--at", start.frames + 30)
    assert cut.name == info["name"]
    assert cut.dialect == info["dialect"]
    for time, answer in [(cut.duration, info["duration"]), (start, info["start"])]:
        assert answer["status"] == 0
        assert (time.frames, time.rate) == (answer["ticks"], Fraction(*answer["rate"]))
    for answer in info["bounds"]:
        if answer["status"] == 0:
            bounds = cut.output_bounds(answer["at"])
            assert [list(bounds.center), list(bounds.size)] == [answer["center"], answer["size"]]
        else:
            with pytest.raises(zc.Error) as failure:
                cut.output_bounds(answer["at"])
            assert failure.value.code == answer["status"]
    assert [(l.path, l.schema, l.what) for l in cut.losses] == [
        (l["path"], l["schema"], l["what"]) for l in info["losses"]
    ]

    listing = zemcomp("list", path, "--json")
    assert (cut.timeline.start, cut.timeline.duration) == (listing["start"], listing["duration"])
    assert cut.timeline.rate == Fraction(*listing["rate"])
    assert len(cut.tracks) == len(listing["tracks"])
    for track, listed in zip(cut.tracks, listing["tracks"]):
        assert (track.name, track.kind) == (listed["name"], listed["kind"])
        assert len(track.items) == len(listed["items"])
        for item, other in zip(track.items, listed["items"]):
            assert item.kind == other["type"] and item.name == other["name"]
            assert item.record == zc.FrameRange(**other["record"])
            assert item.source.start == other["source"]["start"]
            assert float(item.source.duration) == pytest.approx(other["source"]["duration"])
            assert item.source.rate == Fraction(*other["source"]["rate"])
            assert [m.path for m in item.media if m.path] == other["media"]
            assert [e.name for e in item.effects] == other["effects"]
            assert [(n.text, n.range.start, n.range.duration) for n in item.notes] == [
                (n["text"], n["start"], n["duration"]) for n in other["notes"]
            ]

    for dialect in zc.DIALECTS:
        out = tmp_path / f"converted.{dialect}.json"
        zemcomp("convert", path, "--to", dialect, "-o", out, parse=False)
        assert cut.to_json(dialect) == out.read_text(), dialect
