"""Shared fixtures: where the examples and the zemcomp tool are, how to ask the
tool, and large documents made from the examples."""

import copy
import json
import os
import subprocess
from pathlib import Path

import pytest

HERE = Path(__file__).resolve().parent
DATA = HERE / "data"
EXAMPLES = Path(os.environ.get("ZEM_EXAMPLES_DIR", HERE.parent.parent / "examples"))


def example_paths():
    return sorted(EXAMPLES.glob("*.json"))


def documents():
    """Every document the comparisons with zemcomp run on: the bundled
    examples and this folder's own."""
    return example_paths() + sorted(DATA.glob("*.otio"))


@pytest.fixture(scope="session")
def zemcomp():
    """Runs the zemcomp tool and returns its standard output, parsed as JSON
    when asked; skips when the build has no tool."""
    tool = os.environ.get("ZEMCOMP")
    if not tool:
        pytest.skip("ZEMCOMP names no zemcomp tool to compare with")

    def run(*args, parse=True, check=True):
        done = subprocess.run([tool, *map(str, args)], capture_output=True, text=True)
        if check and done.returncode != 0:
            raise AssertionError(f"zemcomp {args} failed: {done.stderr}")
        return json.loads(done.stdout) if parse else done

    return run


def large_document(clips_per_track, seed_name="short-cut.otio.json"):
    """A product-dialect OTIO document whose tracks repeat the example's items
    until each holds about `clips_per_track` of them, with names made unique."""
    document = json.loads((EXAMPLES / seed_name).read_text())
    timeline = document.get("timeline", document)
    for track in timeline["tracks"]["children"]:
        pattern = track["children"]
        repeated = []
        while len(repeated) < clips_per_track:
            for item in pattern:
                item = copy.deepcopy(item)
                item["name"] = f"{item['name']}_{len(repeated):05d}"
                repeated.append(item)
        track["children"] = repeated
    return json.dumps(document)
