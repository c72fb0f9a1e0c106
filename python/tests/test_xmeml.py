"""Final Cut Pro 7 XML through the Python module: read from a file or a text,
one sequence of several picked, losses by element path, written and read back."""

from fractions import Fraction

import pytest

import zemcomposition as zc
from conftest import EXAMPLES

# Two sequences at 29.97 drop frame; the first starts at 01:00:00;00 (frame
# 107892) and holds one clip of 30 frames whose media starts at frame 1000,
# playing from its in point 12: source frame 1012.
DOCUMENT = """<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE xmeml>
<xmeml version="5">
  <sequence>
    <name>first</name>
    <rate><timebase>30</timebase><ntsc>TRUE</ntsc></rate>
    <timecode><string>01:00:00;00</string><displayformat>DF</displayformat></timecode>
    <media><video><track>
      <clipitem id="c1"><name>shot</name><start>0</start><end>30</end><in>12</in><out>42</out>
        <file id="f1"><pathurl>file://localhost/media/a%20b.mov</pathurl>
          <timecode><frame>1000</frame></timecode></file>
        <filter><effect><name>Blur</name><effectid>blur</effectid></effect></filter>
      </clipitem>
    </track></video></media>
  </sequence>
  <sequence>
    <name>second</name>
    <rate><timebase>24</timebase></rate>
    <media><video><track></track></video></media>
  </sequence>
</xmeml>
"""


def test_a_document_is_read_from_a_file_or_a_text(tmp_path):
    path = tmp_path / "cut.xml"
    path.write_text(DOCUMENT)
    cut = zc.Composition.from_file(path)
    assert (cut.dialect, cut.name) == ("xmeml", "first")
    assert cut.start_time.frames == 107892
    assert cut.start_time.rate == Fraction(30000, 1001)
    [clip] = cut.timeline.clips
    assert (clip.name, clip.record.start, clip.record.duration, clip.source.start) == (
        "shot",
        107892,
        30,
        1012,
    )
    assert [m.path for m in clip.media] == ["/media/a b.mov"]
    assert [(loss.path, loss.schema) for loss in cut.losses] == [
        ("/xmeml/sequence[1]/media/video/track/clipitem/filter", "filter")
    ]
    # Detected from the text alone; the second sequence by name or number.
    assert zc.Composition.from_text(DOCUMENT).dialect == "xmeml"
    assert zc.Composition.from_text(DOCUMENT, "xmeml", timeline="second").name == "second"
    assert zc.Composition.from_text(DOCUMENT, timeline=2).name == "second"
    with pytest.raises(zc.Error) as raised:
        zc.Composition.from_text(DOCUMENT, timeline="third")
    assert raised.value.code == 512
    with pytest.raises(zc.Error) as raised:
        zc.Composition.from_text("<xmeml><sequence>", "xmeml")
    assert "line 1" in str(raised.value)


def test_written_documents_read_back_as_the_same_cut():
    cut = zc.Composition.from_file(EXAMPLES / "short-cut.otio.json")
    text, losses = cut.to_text_with_losses("xmeml")
    assert text.startswith('<?xml version="1.0" encoding="UTF-8"?>\n<!DOCTYPE xmeml>\n')
    assert '<xmeml version="4">' in text
    assert [loss.schema for loss in losses] == ["track", "track"]
    again = zc.Composition.from_text(text)
    assert again.dialect == "xmeml"
    for track, other in zip(cut.tracks, again.tracks):
        assert [(c.name, c.record, c.source.start) for c in track.clips] == [
            (c.name, c.record, c.source.start) for c in other.clips
        ]
    assert again.to_text("xmeml") == text
