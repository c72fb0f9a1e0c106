"""Every way a call can fail raises zemcomposition.Error with the status code
and a message that says where and why (or, for a file that cannot be read or
an argument of the wrong kind, Python's own exception); none returns None."""

import errno
import json
import pickle
from fractions import Fraction

import pytest

import zemcomposition as zc
from conftest import DATA, EXAMPLES

Status = zc.Status


def edit_tree(example="short-cut.otio.json"):
    """An example as edit-tree JSON, parsed, for tests to break."""
    return json.loads(zc.Composition.from_file(EXAMPLES / example).to_json("dmtree"))


def first_composition(tree):
    return tree["tree"]["children"][0]["children"][0]


def first_source(tree):
    return first_composition(tree)["children"][0]["children"][0]["children"][0]


@pytest.mark.parametrize(
    "text, dialect, code, where",
    [
        # Not JSON at all, in each dialect, with the line and the column.
        ('{"timeline": {\n  "name": }', "otio", Status.OTIO_IMPORT_FAILED, "<text>:2:11: "),
        ('{"format": "KRdmtree-json",\n', None, Status.DMTREE_JSON_IMPORT_FAILED, "<text>:2:1: "),
        ("[1, 2", "otio-std", Status.JSON_SYNTAX_ERROR, "<text>:1:6: "),
        ("nonsense", None, Status.JSON_SYNTAX_ERROR, "<text>:1:2: "),
        # NaN is a value in standard OTIO (the object is what it cannot read),
        # and a syntax error at its column in the product's dialect.
        ('{"timeline": {"name": NaN}}', "otio-std", Status.OTIO_IMPORT_FAILED, "<text>: no timeline"),
        ('{"timeline": {"name": NaN}}', "otio", Status.OTIO_IMPORT_FAILED, "<text>:1:23: "),
        # JSON, but not a document of the dialect.
        ('{"format": "something else"}', None, Status.DMTREE_JSON_IMPORT_FAILED, "<text> (status"),
        ('{"tracks": []}', "otio-std", Status.OTIO_IMPORT_FAILED, "<text>: no timeline"),
        ("[]", None, Status.OTIO_IMPORT_FAILED, "<text>: no timeline"),
        # Nothing at all.
        ("", "otio", Status.NO_DATA, "<text>"),
        ("", "dmtree", Status.NO_DATA, "<text>"),
    ],
)
def test_documents_that_cannot_be_read(text, dialect, code, where):
    with pytest.raises(zc.Error) as failure:
        zc.Composition.from_json(text, dialect)
    error = failure.value
    assert error.code == code and isinstance(error.code, Status)
    assert error.description and str(error).startswith(where)
    assert str(error).endswith(f"(status {int(code)}: {error.description})")


def test_file_failures_name_the_file(tmp_path):
    broken = tmp_path / "broken.otio.json"
    broken.write_text('{"timeline": {"name": "x",,}}')
    with pytest.raises(zc.Error) as failure:
        zc.Composition.from_file(broken, "otio")
    assert failure.value.code == Status.OTIO_IMPORT_FAILED
    assert str(failure.value).startswith(f"{broken}:1:27: Missing a name")

    with pytest.raises(FileNotFoundError) as missing:
        zc.Composition.from_file(tmp_path / "missing.otio")
    assert missing.value.filename == str(tmp_path / "missing.otio")
    with pytest.raises(IsADirectoryError):
        zc.Composition.from_file(tmp_path)
    with pytest.raises(OSError) as folder:
        zc.Composition.from_file(str(tmp_path).encode())
    assert folder.value.errno == errno.EISDIR


def test_queries_of_a_document_without_a_timeline():
    # The product dialect reads such a document as an empty composition; every
    # query that needs a timeline then says there is no data.
    empty = zc.Composition.from_json('{"OTIO_SCHEMA": "SerializableCollection.1"}', "otio")
    assert empty.timeline.has_timeline is False and empty.tracks == ()
    for query in (lambda: empty.duration, lambda: empty.start_time):
        with pytest.raises(zc.Error) as failure:
            query()
        assert failure.value.code == Status.NO_DATA
        assert "composition ''" in str(failure.value)
    with pytest.raises(zc.Error) as failure:
        empty.to_json("otio-std")
    assert failure.value.code == Status.NO_DATA
    assert "no document without a timeline" in str(failure.value)


def test_output_bounds_of_sources_without_media_or_resolution():
    tree = edit_tree()
    first_source(tree)["inputs"] = []
    cut = zc.Composition.from_json(json.dumps(tree))
    with pytest.raises(zc.Error) as failure:
        cut.output_bounds(86400)
    assert failure.value.code == Status.SOURCE_WITHOUT_INPUT
    assert "at frame 86400" in str(failure.value)
    assert cut.output_bounds(0).size == (0.0, 0.0)  # before the start: nothing plays

    standard = zc.Composition.from_file(DATA / "conform-cut.otio")
    with pytest.raises(zc.Error) as failure:
        standard.output_bounds(90000)  # its media references carry no resolution
    assert failure.value.code == Status.INPUT_WITHOUT_RESOLUTION


def test_times_without_a_frame_rate():
    tree = edit_tree()
    first_composition(tree)["startTcFcm"] = "not a rate"
    cut = zc.Composition.from_json(json.dumps(tree), "dmtree")
    with pytest.raises(zc.Error) as failure:
        cut.start_time
    assert failure.value.code == Status.NO_FRAME_RATE_TEXT


def test_rates_that_are_no_rate():
    for rate in (0, -24, 0.0, float("nan"), float("inf"), 2e6, "fast", "24/0", Fraction(-24), 2**40):
        with pytest.raises(zc.Error) as failure:
            zc.Composition.create("x", "y", rate)
        assert failure.value.code == Status.NO_FRAME_RATE_TEXT, rate
        assert repr(rate) in str(failure.value)
        with pytest.raises(zc.Error):
            zc.timecode(10, rate)
    for wrong in (True, None, [24], b"24"):
        with pytest.raises(TypeError):
            zc.Composition.create("x", "y", wrong)


def test_arguments_of_the_wrong_kind():
    cut = zc.Composition.create("x", "y", 24)
    with pytest.raises(ValueError, match="unknown dialect 'xml'"):
        cut.to_json("xml")
    with pytest.raises(ValueError):
        zc.Composition.from_json("{}", "OTIO")
    with pytest.raises(TypeError):
        zc.Composition.from_json(42)
    with pytest.raises(TypeError):
        cut.output_bounds("86400")
    with pytest.raises(TypeError):
        zc.CompositionList().append("not a composition")


def test_the_error_travels_between_processes():
    with pytest.raises(zc.Error) as failure:
        zc.Composition.from_json("[", "otio")
    copy = pickle.loads(pickle.dumps(failure.value))
    assert (str(copy), copy.code, copy.description) == (
        str(failure.value),
        failure.value.code,
        failure.value.description,
    )
