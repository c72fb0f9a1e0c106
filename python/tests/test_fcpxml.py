"""FCPXML through the Python module: detected by its root element, read with
its lanes, connected clips and losses by element path, a project chosen, a
bundle folder read through its Info.fcpxml, written in each version."""

import pytest

import zemcomposition as zc

# One project at 24 fps from 01:00:00:00 (frame 86400): a clip of 2s from its
# media's 3610s (frame 86640), a clip connected 1s into it (its 3611s) on lane
# 1 from 2s (48), and a filter the edit tree has no place for.
DOCUMENT = """<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE fcpxml>
<fcpxml version="1.10">
  <resources>
    <format id="r1" frameDuration="1/24s" width="1920" height="1080"/>
    <asset id="a1" name="A1" start="3600s" duration="100s" hasVideo="1" format="r1">
      <media-rep kind="original-media" src="file:///m/a1.mov"/>
    </asset>
    <effect id="fx" name="Blur" uid="blur"/>
  </resources>
  <library>
    <event name="E">
      <project name="First">
        <sequence format="r1" tcStart="3600s" duration="2s">
          <spine>
            <asset-clip ref="a1" offset="3600s" name="Base" start="3610s" duration="2s">
              <asset-clip ref="a1" lane="1" offset="3611s" name="Over" start="3602s" duration="1s"/>
              <filter-video ref="fx"/>
            </asset-clip>
          </spine>
        </sequence>
      </project>
      <project name="Second">
        <sequence format="r1" tcStart="0s"><spine><gap offset="0s" duration="3s"/></spine></sequence>
      </project>
    </event>
  </library>
</fcpxml>
"""


def test_a_document_is_read_by_its_root_element():
    cut = zc.Composition.from_text(DOCUMENT)
    assert (cut.dialect, cut.name) == ("fcpxml", "First")
    assert (cut.start_time.frames, cut.duration.frames, cut.duration.rate) == (86400, 48, 24)
    assert [t.name for t in cut.tracks] == ["Primary storyline", "Video lane 1"]
    assert [(c.name, c.record.start, c.source.start) for c in cut.timeline.clips] == [
        ("Base", 86400, 86640),
        ("Over", 86424, 86448),
    ]
    assert [(loss.path, loss.schema) for loss in cut.losses] == [
        ("/fcpxml/library/event/project[1]/sequence/spine/asset-clip/filter-video", "filter-video")
    ]


def test_a_project_is_chosen_by_name_or_number():
    assert zc.Composition.from_text(DOCUMENT, "fcpxml", timeline="Second").duration.frames == 72
    assert zc.Composition.from_text(DOCUMENT, timeline=2).name == "Second"
    with pytest.raises(zc.Error) as raised:
        zc.Composition.from_text(DOCUMENT, timeline="Third")
    assert raised.value.code == 512
    assert 'no timeline "Third": the document holds 2: 1 "First", 2 "Second"' in str(raised.value)


def test_files_and_bundles_are_read_by_their_names(tmp_path):
    (tmp_path / "cut.fcpxml").write_text(DOCUMENT)
    bundle = tmp_path / "cut.fcpxmld"
    bundle.mkdir()
    (bundle / "Info.fcpxml").write_text(DOCUMENT)
    for path in (tmp_path / "cut.fcpxml", bundle):
        assert zc.Composition.from_file(path).dialect == "fcpxml"
    with pytest.raises(IsADirectoryError):
        zc.Composition.from_file(tmp_path)


def test_written_documents_read_back_in_every_version():
    cut = zc.Composition.from_text(DOCUMENT)
    assert "fcpxml" in zc.DIALECTS
    for version in ("1.8", "1.9", "1.10", "1.11", "1.12", "1.13"):
        text, losses = cut.to_text_with_losses("fcpxml", fcpxml_version=version)
        assert f'<fcpxml version="{version}">' in text
        again = zc.Composition.from_text(text)
        assert [(c.record, c.source.start) for c in again.timeline.clips] == [
            (c.record, c.source.start) for c in cut.timeline.clips
        ]
        assert losses == ()
    assert cut.to_text("fcpxml") == cut.to_text("fcpxml", fcpxml_version="1.8")
    for unknown in ("1.7", "1.14", "2.8"):
        with pytest.raises(ValueError):
            cut.to_text("fcpxml", fcpxml_version=unknown)
    with pytest.raises(ValueError):
        cut.to_text("edl", fcpxml_version="1.9")


def test_what_is_no_fcpxml_project_fails_saying_why():
    cases = [
        ("<fcpxml version='1.10'><library/></fcpxml>", 517, "no timeline"),
        ("<xmeml version='5'/>", 780, "not FCPXML"),
    ]
    for text, code, words in cases:
        with pytest.raises(zc.Error) as raised:
            zc.Composition.from_text(text, "fcpxml")
        assert raised.value.code == code
        assert words in str(raised.value)
