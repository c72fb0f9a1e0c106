"""The timeline read of a document holding several, by name or number."""

import json

import pytest

import zemcomposition as zc


def timeline(name, frames):
    time = lambda value: {"OTIO_SCHEMA": "RationalTime.1", "value": value, "rate": 24}
    clip = {"OTIO_SCHEMA": "Clip.2", "name": "c",
            "source_range": {"OTIO_SCHEMA": "TimeRange.1", "start_time": time(0),
                             "duration": time(frames)}}
    track = {"OTIO_SCHEMA": "Track.1", "kind": "Video", "children": [clip]}
    return {"OTIO_SCHEMA": "Timeline.1", "name": name,
            "tracks": {"OTIO_SCHEMA": "Stack.1", "children": [track]}}


# "a" lasts 10 frames, "2" 20 and "b" 30.
COLLECTION = json.dumps({"OTIO_SCHEMA": "SerializableCollection.1",
                         "children": [timeline("a", 10), timeline("2", 20), timeline("b", 30)]})


@pytest.mark.parametrize("choice, frames", [(None, 10), ("b", 30), ("2", 20), (3, 30), (1, 10)])
def test_a_timeline_is_picked_by_name_else_by_number(choice, frames, tmp_path):
    assert zc.Composition.from_json(COLLECTION, timeline=choice).duration.frames == frames
    path = tmp_path / "cut.otio"
    path.write_text(COLLECTION)
    assert zc.Composition.from_file(path, timeline=choice).duration.frames == frames


def test_a_timeline_not_there_is_an_error_naming_those_that_are():
    with pytest.raises(zc.Error) as raised:
        zc.Composition.from_text(COLLECTION, timeline=4)
    assert raised.value.code == 512
    assert 'no timeline "4": the document holds 3: 1 "a", 2 "2", 3 "b"' in str(raised.value)
    for wrong in (True, 1.5, ["a"]):
        with pytest.raises(TypeError):
            zc.Composition.from_json(COLLECTION, timeline=wrong)
