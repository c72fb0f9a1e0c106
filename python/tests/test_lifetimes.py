"""Who keeps what alive: a list keeps its compositions, a composition comes back
from a list as the same object, and the values handed out stand on their own."""

import gc
import weakref

import pytest

import zemcomposition as zc
from conftest import DATA, EXAMPLES


def load(name="short-cut.otio.json"):
    return zc.Composition.from_file(EXAMPLES / name)


def test_a_composition_in_a_list_outlives_its_name():
    cuts = zc.CompositionList()
    cut = zc.Composition.from_file(DATA / "conform-cut.otio", id="kept")
    expected = cut.to_json("otio")
    cuts.append(cut)
    # While its Python object lives, the list hands back that very object, with
    # what reading said.
    assert cuts[0] is cut and cuts[0].losses == cut.losses != ()
    del cut
    gc.collect()
    kept = cuts[0]
    assert kept.id == "kept" and kept.to_json("otio") == expected
    assert kept.duration.frames == 105 and kept.timeline.tracks[0].name == "Picture"
    assert cuts[0] is kept


def test_a_composition_outlives_the_list_it_was_in():
    cuts = zc.CompositionList([load(), load("graded-shot.otio.json")])
    second = cuts[1]
    probe = weakref.ref(cuts)
    del cuts
    gc.collect()
    assert probe() is None
    assert second.name and second.duration.frames > 0


def test_the_list_behaves_as_a_python_sequence():
    a, b, c = load(), load("review-notes.otio.json"), load("graded-shot.otio.json")
    cuts = zc.CompositionList([a, b])
    assert isinstance(cuts, __import__("collections.abc").abc.MutableSequence)
    assert len(cuts) == 2 and bool(cuts) and not zc.CompositionList()
    cuts.append(c)
    assert [x is y for x, y in zip(cuts, [a, b, c])] == [True] * 3
    assert cuts[-1] is c and cuts[-3] is a
    with pytest.raises(IndexError):
        cuts[3]
    with pytest.raises(IndexError):
        cuts[-4]
    assert cuts[::-1] == [c, b, a] and cuts[1:] == [b, c]
    assert list(reversed(cuts)) == [c, b, a]
    assert b in cuts and zc.Composition.create("x", "y", 24) not in cuts and "b" not in cuts
    assert cuts.index(b) == 1 and cuts.count(a) == 1

    del cuts[0]
    assert list(cuts) == [b, c]
    cuts.insert(0, a)
    cuts.insert(-100, c)
    assert list(cuts) == [c, a, b, c] and cuts.count(c) == 2
    cuts[0] = b
    assert list(cuts) == [b, a, b, c]
    del cuts[::2]
    assert list(cuts) == [a, c]
    assert cuts.pop() is c and cuts.pop(0) is a and len(cuts) == 0
    with pytest.raises(IndexError):
        cuts.pop()
    cuts.extend([a, b, c])
    cuts.remove(b)
    with pytest.raises(ValueError):
        cuts.remove(b)
    cuts.reverse()
    assert list(cuts) == [c, a]
    assert "CompositionList([<zemcomposition.Composition" in repr(cuts)
    cuts.clear()
    assert len(cuts) == 0 and list(cuts) == []


def test_iterating_while_the_list_changes_is_safe():
    cuts = zc.CompositionList([load() for _ in range(4)])
    seen = 0
    for cut in cuts:
        cuts.clear()
        gc.collect()
        seen += 1
        assert cut.duration.frames == 168  # the snapshot holds it
    assert seen == 4 and len(cuts) == 0


def test_a_failed_extend_changes_nothing():
    cuts = zc.CompositionList([load()])
    with pytest.raises(TypeError):
        cuts.extend([load(), "not a composition"])
    assert len(cuts) == 1


def test_values_stand_on_their_own():
    cut = load()
    view, duration, bounds = cut.timeline, cut.duration, cut.output_bounds(86400)
    del cut
    gc.collect()
    assert view.tracks[0].items[0].name == "sh010_comp_v003"
    assert duration.timecode == "00:00:07:00" and bounds.size == (1920.0, 1080.0)
    with pytest.raises(AttributeError):
        view.name = "changed"  # frozen: a view is a snapshot


def test_a_clone_lives_apart_from_its_original():
    original = load()
    copy = original.clone()
    del original
    gc.collect()
    assert copy.timeline.name == "Short cut" and copy.duration.frames == 168


def test_pages_of_released_texts_are_given_back_on_request():
    import sys
    from conftest import large_document

    zc.release_spare_memory()  # whatever earlier tests left
    cut = zc.Composition.from_json(large_document(200))
    text = cut.to_json("otio")
    assert len(text) > 64 * 1024
    # The Python string is a copy: the library's own text is released already.
    kept = zc.release_spare_memory()
    if sys.platform.startswith("linux"):
        assert kept >= len(text)
    assert zc.release_spare_memory() == 0
    assert cut.to_json("otio") == text


def test_the_list_changes_as_a_python_list_does():
    a, b, c = load(), load("review-notes.otio.json"), load("graded-shot.otio.json")
    model, cuts = [a, b], zc.CompositionList([a, b])
    steps = [  # each done to a Python list and to the CompositionList alike
        lambda l: l.insert(-1, c),  # before the last: a c b
        lambda l: l.insert(1, a),  # a a c b
        lambda l: l.insert(-10, b),  # clamped to the start: b a a c b
        lambda l: l.__setitem__(-2, b),  # b a a b b
        lambda l: l.__delitem__(-4),  # b a b b
        lambda l: l.extend([c, a]),  # b a b b c a
        lambda l: l.__delitem__(slice(1, None, 2)),  # b b c
        lambda l: l.append(a),  # b b c a
        lambda l: l.__delitem__(slice(None, None, -3)),  # b c
    ]
    for step in steps:
        step(model)
        step(cuts)
        assert len(cuts) == len(model) and all(x is y for x, y in zip(cuts, model))
    model += [a, c]
    cuts.extend([a, c])
    for index in range(-len(model), len(model)):
        assert cuts[index] is model[index]
    for part in (slice(None, None, -1), slice(1, None), slice(-2, None), slice(4, 0, -2)):
        assert [id(x) for x in cuts[part]] == [id(x) for x in model[part]]
    assert cuts.pop(-2) is model.pop(-2) and cuts.index(c) == model.index(c) == 1


def test_a_composition_says_its_id_and_dialect():
    assert repr(zc.Composition.create("made", "y", 24)) == "<zemcomposition.Composition id='made'>"
    read = zc.Composition.from_file(EXAMPLES / "short-cut.otio.json", id="read")
    assert repr(read) == "<zemcomposition.Composition id='read' dialect='otio'>"
    assert repr(read.clone()) == repr(read)
