"""EDLs through the Python module: read with a rate, named after the file,
losses by line, written with the writer's options."""

import pytest

import zemcomposition as zc
from conftest import EXAMPLES

# Two events at 25 fps: 25 frames from 01:00:00:00, then 25 more; the second has
# a speed the edit tree does not apply (reported at its M2 line, line 4).
LIST = (
    "001  TAPE1 V C 00:00:10:00 00:00:11:00 01:00:00:00 01:00:01:00\n"
    "* FROM CLIP NAME: shot one\n"
    "002  TAPE2 V C 00:00:20:00 00:00:21:00 01:00:01:00 01:00:02:00\n"
    "M2   TAPE2       050.0                00:00:20:00\n"
)


def test_a_list_is_read_at_its_rate_and_named_after_its_file(tmp_path):
    path = tmp_path / "reel1.edl"
    path.write_text(LIST)
    cut = zc.Composition.from_file(path, rate=25)
    assert (cut.dialect, cut.name) == ("edl", "reel1")
    assert (cut.start_time.frames, cut.duration.frames, cut.duration.rate) == (90000, 50, 25)
    clips = cut.timeline.clips
    assert [(c.name, c.record.start, c.source.start) for c in clips] == [
        ("shot one", 90000, 250),
        ("TAPE2", 90025, 500),
    ]
    assert [c.reel for c in clips] == ["TAPE1", "TAPE2"]
    assert [(loss.path, loss.schema) for loss in cut.losses] == [("line 4", "M2")]
    # The same text without a file has no name; the default rate is 24.
    assert zc.Composition.from_text(LIST, "edl").duration.rate == 24


def test_written_lists_read_back_with_the_writers_options():
    cut = zc.Composition.from_file(EXAMPLES / "short-cut.otio.json")
    text = cut.to_text("edl", track="V1", reel_length=32)
    assert "sh010_comp_v003" in text.splitlines()[2]  # the reel, not cut to 8
    again = zc.Composition.from_text(text)
    assert again.dialect == "edl"
    assert [c.record for c in again.tracks[0].clips] == [c.record for c in cut.tracks[0].clips]
    at_2997 = zc.Composition.from_text(LIST, "edl", rate="29.97")
    assert "FCM: NON-DROP FRAME" in at_2997.to_text("edl", non_drop=True)
    with pytest.raises(ValueError):
        cut.to_text("edl", track="nowhere")
    with pytest.raises(ValueError):
        cut.to_text("edl", otio_version="0.14.0")


def test_what_a_written_list_cannot_hold_is_reported():
    graded = zc.Composition.from_file(EXAMPLES / "graded-shot.otio.json")
    text, losses = graded.to_text_with_losses("edl")
    assert text == graded.to_text("edl")
    assert [(loss.path, loss.schema) for loss in losses] == [
        ("track V1, 00:00:00:00", "AngularMask"),
        ("track V1, 00:00:00:00", "Comp"),
    ]
    # Nothing is lost writing an EDL read from its own text.
    again = zc.Composition.from_text(text)
    assert again.to_text_with_losses("edl") == (text, ())
