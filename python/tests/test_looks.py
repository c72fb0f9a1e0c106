"""Composition.apply_looks, looks and write_looks: a grader's looks onto a cut
and back, through paths and texts."""

import pytest

import zemcomposition as zc
from conftest import EXAMPLES

# graded-shot.otio.json: one clip, sh040_plate_v001, with this look.
GRADED = zc.Look((1.08, 1.0, 0.94), (0.012, 0.0, -0.008), (1.0, 1.02, 1.05), 0.9)


def test_written_looks_apply_back_unchanged_in_every_form(tmp_path):
    graded = zc.Composition.from_file(EXAMPLES / "graded-shot.otio.json")
    (look,) = graded.looks()
    assert (look.track, look.item, look.name, look.look) == (0, 0, "sh040_plate_v001", GRADED)
    for form in ("ccc", "cdl", "cc"):
        path = tmp_path / f"looks.{form}"
        graded.write_looks(path)
        applied = graded.apply_looks(path)
        assert [(m.clip, m.had_look, m.changed) for m in applied.matches] == [
            ("sh040_plate_v001", True, False)
        ]
        assert applied.losses == ()
        assert graded.looks() == (look,)


def test_a_text_grades_by_name_and_reports_what_matched_nothing():
    cut = zc.Composition.from_file(EXAMPLES / "short-cut.otio.json")
    text = (
        '<ColorCorrectionCollection xmlns="urn:ASC:CDL:v1.2">\n'
        '<ColorCorrection id="sh010_comp_v003"><SatNode><Saturation>0.5</Saturation>'
        "</SatNode></ColorCorrection>\n"
        '<ColorCorrection id="nobody"/>\n</ColorCorrectionCollection>'
    )
    applied = cut.apply_looks(text)
    assert [(m.id, m.track, m.item, m.rule) for m in applied.matches] == [
        ("sh010_comp_v003", 0, 0, "name")
    ]
    assert [(loss.path, loss.schema) for loss in applied.losses] == [("line 3", "ColorCorrection")]
    (look,) = cut.looks()
    assert look.look == zc.Look((1.0, 1.0, 1.0), (0.0, 0.0, 0.0), (1.0, 1.0, 1.0), 0.5)


def test_failures_say_why(tmp_path):
    cut = zc.Composition.from_file(EXAMPLES / "short-cut.otio.json")
    with pytest.raises(zc.Error) as no_looks:
        cut.write_looks(tmp_path / "none.ccc")
    assert no_looks.value.code == zc.Status.NO_DATA
    with pytest.raises(zc.Error) as not_cdl:
        cut.apply_looks(b"<Nothing/>")
    assert not_cdl.value.code == zc.Status.JSON_CONVERSION_FAILED
    with pytest.raises(FileNotFoundError):
        cut.apply_looks(tmp_path / "missing.ccc")
    with pytest.raises(ValueError):
        zc.Composition.from_file(EXAMPLES / "graded-shot.otio.json").write_looks(
            tmp_path / "x", form="xml"
        )


# Two graded events at 25 fps from 01:00:00:00 (90000): one second of A001,
# then two of B002 (90025 + 50).
GRADED_LIST = (
    "TITLE: graded\n"
    "001  A001 V C 00:00:10:00 00:00:11:00 01:00:00:00 01:00:01:00\n"
    "* FROM CLIP NAME: first\n"
    "* SOURCE FILE: /media/A001.mov\n"
    "*ASC_SOP (1.1 1.0 0.9)(0.01 0.0 -0.02)(1.0 1.0 1.2)\n"
    "*ASC_SAT 0.8\n"
    "002  B002 V C 00:00:20:00 00:00:22:00 01:00:01:00 01:00:03:00\n"
    "* FROM CLIP NAME: second\n"
    "*ASC_SAT 0.5\n"
)


def test_looks_say_each_clips_place_record_and_media():
    cut = zc.Composition.from_text(GRADED_LIST, "edl", rate=25)
    assert [
        (l.track, l.item, l.name, l.record.start, l.record.duration, l.record_in, l.record_out,
         l.media, l.look, l.muted)
        for l in cut.looks()
    ] == [
        (0, 0, "first", 90000, 25, "01:00:00:00", "01:00:01:00", ("/media/A001.mov",),
         zc.Look((1.1, 1.0, 0.9), (0.01, 0.0, -0.02), (1.0, 1.0, 1.2), 0.8), False),
        (0, 1, "second", 90025, 50, "01:00:01:00", "01:00:03:00", (),
         zc.Look((1.0, 1.0, 1.0), (0.0, 0.0, 0.0), (1.0, 1.0, 1.0), 0.5), False),
    ]
