"""The OTIO reader's diagnostics (KR_DEBUG_OTIO) reach standard error as the
library prints them. The switch is read once per process, so each case runs
in an interpreter of its own."""

import os
import subprocess
import sys

from conftest import EXAMPLES

SCRIPT = (
    "import sys, zemcomposition as zc\n"
    "cut = zc.Composition.from_file(sys.argv[1], 'otio')\n"
    "print(cut.duration.frames)\n"
)


def run(debug):
    environment = dict(os.environ)
    environment.pop("KR_DEBUG_OTIO", None)
    if debug:
        environment["KR_DEBUG_OTIO"] = "1"
    return subprocess.run(
        [sys.executable, "-c", SCRIPT, str(EXAMPLES / "short-cut.otio.json")],
        capture_output=True,
        text=True,
        env=environment,
        check=True,
    )


def test_diagnostics_only_when_asked_for():
    quiet, loud = run(False), run(True)
    assert quiet.stdout == loud.stdout == "168\n"
    assert quiet.stderr == ""
    assert loud.stderr.strip(), "KR_DEBUG_OTIO printed nothing"
