"""Builds the zemcomposition wheel for pip (a PEP 517 build backend).

    pip install --no-build-isolation .      # into the active virtual environment
    pip wheel --no-build-isolation .        # zemcomposition-*.whl in the current folder

The module is built by the project's own CMake build, with the interpreter
that runs pip: the build folder is build-python/ in the checkout (or the one
ZEM_BUILD_DIR, or pip's --config-settings build-dir=..., names; a folder that is
already configured with the Python module is built as it stands). The wheel
holds the package and the three shared libraries beside the extension, which
finds them from its own place. The backend needs nothing beyond the standard
library, so it works offline, with or without pip's build isolation, in any
virtual environment; CMake, a compiler and pybind11 come from scripts/setup.sh.
"""

import base64
import hashlib
import os
import re
import shutil
import subprocess
import sys
import sysconfig
import tempfile
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
NAME = "zemcomposition"
SUMMARY = ("Editorial compositions held as edit trees, read and written as OTIO, "
           "edit-tree JSON and the formats of editing tools")


def _version():
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as cmake_lists:
        found = re.search(r"project\(\s*\w+\s+VERSION\s+([0-9.]+)", cmake_lists.read())
    if not found:
        raise RuntimeError("no project version in CMakeLists.txt")
    return found.group(1)


def _tag():
    """The wheel's tag: this interpreter, its ABI and its platform."""
    python = "cp%d%d" % sys.version_info[:2]
    if sys.implementation.name != "cpython":
        python = "%s%d%d" % (sys.implementation.name[:2], *sys.version_info[:2])
    platform = re.sub(r"[-.]", "_", sysconfig.get_platform())
    return "%s-%s-%s" % (python, python, platform)


def _dist_info():
    return "%s-%s.dist-info" % (NAME, _version())


def _metadata():
    return ("Metadata-Version: 2.1\nName: %s\nVersion: %s\nSummary: %s\nRequires-Python: >=3.7\n"
            % (NAME, _version(), SUMMARY))


def _wheel_file():
    return ("Wheel-Version: 1.0\nGenerator: zem_wheel\nRoot-Is-Purelib: false\nTag: %s\n"
            % _tag())


def _run(command):
    # The build's own output goes to stderr, which pip shows with -v or on failure.
    print("+ " + " ".join(command), file=sys.stderr, flush=True)
    subprocess.run(command, check=True, stdout=sys.stderr)


def _cache(build_dir):
    """The CMake cache of `build_dir` as a dict; empty when it is not configured."""
    values = {}
    try:
        with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as cache:
            for line in cache:
                found = re.match(r"^([A-Za-z_0-9]+):[A-Z]+=(.*)$", line.rstrip("\n"))
                if found:
                    values[found.group(1)] = found.group(2)
    except FileNotFoundError:
        pass
    return values


def _build_dir(config_settings):
    given = (config_settings or {}).get("build-dir") or os.environ.get("ZEM_BUILD_DIR")
    return os.path.abspath(given or os.path.join(ROOT, "build-python"))


def _configure(build_dir):
    if _cache(build_dir).get("ZEM_BUILD_PYTHON") == "ON":
        return
    command = ["cmake", "-S", ROOT, "-B", build_dir, "-DZEM_BUILD_PYTHON=ON",
               "-DZEM_BUILD_TESTS=OFF", "-DZEM_BUILD_TOOLS=OFF",
               "-DPython_EXECUTABLE=" + sys.executable]
    if shutil.which("ninja") and not os.path.exists(os.path.join(build_dir, "CMakeCache.txt")):
        command += ["-G", "Ninja"]
    try:
        import pybind11  # Debian's python3-pybind11, when it is there
        command.append("-Dpybind11_DIR=" + pybind11.get_cmake_dir())
    except ImportError:
        pass  # pybind11-dev's CMake package, found by CMake itself
    _run(command)


def _staged_package(build_dir, staging):
    """Builds the module and installs it with its libraries under `staging`;
    returns the package folder and the library folder there."""
    _configure(build_dir)
    _run(["cmake", "--build", build_dir, "--target", "zem_python",
          "--parallel", os.environ.get("JOBS", "2")])
    for component in ("zem_runtime", "zem_python"):
        _run(["cmake", "--install", build_dir, "--prefix", staging, "--component", component])
    cache = _cache(build_dir)
    package = os.path.join(staging, cache["ZEM_PYTHON_SITE_DIR"], NAME)
    libraries = os.path.join(staging, cache.get("CMAKE_INSTALL_LIBDIR", "lib"))
    suffix = sysconfig.get_config_var("EXT_SUFFIX")
    if not any(name.startswith("_" + NAME) and name.endswith(suffix)
               for name in os.listdir(package)):
        raise RuntimeError(
            "%s holds a module built for another Python (Python_EXECUTABLE %s); this one "
            "(%s) needs *%s: build in another folder (ZEM_BUILD_DIR)"
            % (build_dir, cache.get("Python_EXECUTABLE"), sys.executable, suffix))
    return package, libraries


def _wheel_members(package, libraries):
    """(name in the wheel, file) of every file the wheel holds."""
    members = [(NAME + "/" + name, os.path.join(package, name))
               for name in sorted(os.listdir(package))]
    # Each library once, under the name the extension asks for (its soname).
    for name in sorted(os.listdir(libraries)):
        if re.fullmatch(r"lib\w+\.so\.\d+\.\d+", name):
            members.append((NAME + "/" + name, os.path.realpath(os.path.join(libraries, name))))
    return members


def _record_line(name, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return "%s,sha256=%s,%d\n" % (name, digest, len(data))


def get_requires_for_build_wheel(config_settings=None):
    return []


def prepare_metadata_for_build_wheel(metadata_directory, config_settings=None):
    folder = os.path.join(metadata_directory, _dist_info())
    os.makedirs(folder, exist_ok=True)
    for name, text in (("METADATA", _metadata()), ("WHEEL", _wheel_file())):
        with open(os.path.join(folder, name), "w", encoding="utf-8") as out:
            out.write(text)
    return _dist_info()


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    wheel_name = "%s-%s-%s.whl" % (NAME, _version(), _tag())
    with tempfile.TemporaryDirectory() as staging:
        package, libraries = _staged_package(_build_dir(config_settings), staging)
        members = _wheel_members(package, libraries)
        record = ""
        os.makedirs(wheel_directory, exist_ok=True)
        with zipfile.ZipFile(os.path.join(wheel_directory, wheel_name), "w",
                             zipfile.ZIP_DEFLATED) as wheel:
            for name, path in members:
                with open(path, "rb") as member:
                    data = member.read()
                info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
                info.external_attr = (0o755 if name.endswith(".so") or ".so." in name
                                      else 0o644) << 16
                info.compress_type = zipfile.ZIP_DEFLATED
                wheel.writestr(info, data)
                record += _record_line(name, data)
            for name, text in (("METADATA", _metadata()), ("WHEEL", _wheel_file())):
                member = _dist_info() + "/" + name
                wheel.writestr(member, text)
                record += _record_line(member, text.encode())
            record += _dist_info() + "/RECORD,,\n"
            wheel.writestr(_dist_info() + "/RECORD", record)
    return wheel_name
