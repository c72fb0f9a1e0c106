"""The module documents itself: every public name has a docstring, and the type
stub editors read declares exactly what the module has."""

import ast
import inspect
from pathlib import Path

import zemcomposition as zc

STUB = Path(zc.__file__).with_name("__init__.pyi")


def stub_declarations():
    """Top-level names of the stub, and the members each class declares."""
    tree = ast.parse(STUB.read_text())
    names, members = set(), {}
    for node in tree.body:
        if isinstance(node, ast.ClassDef):
            names.add(node.name)
            members[node.name] = {
                each.name if isinstance(each, (ast.FunctionDef, ast.AsyncFunctionDef)) else each.target.id
                for each in node.body
                if isinstance(each, (ast.FunctionDef, ast.AsyncFunctionDef, ast.AnnAssign))
            }
        elif isinstance(node, ast.FunctionDef):
            names.add(node.name)
        elif isinstance(node, ast.AnnAssign):
            names.add(node.target.id)
    return names, members


def public_members(cls):
    own = set()
    for klass in cls.__mro__:
        if klass in (object, Exception, BaseException, int) or klass.__module__ == "enum":
            continue
        own |= {name for name in vars(klass) if not name.startswith("_")}
    return own


def test_every_public_name_has_a_docstring():
    for name in zc.__all__:
        value = getattr(zc, name)
        if inspect.isclass(value) or callable(value):
            assert inspect.getdoc(value), name
        if inspect.isclass(value):
            for member in public_members(value):
                if value is zc.Status:
                    continue  # enumeration members
                attribute = inspect.getattr_static(value, member)
                if callable(attribute) or isinstance(attribute, (property, staticmethod)):
                    assert inspect.getdoc(getattr(value, member)), f"{name}.{member}"


def test_the_stub_declares_what_the_module_has():
    names, members = stub_declarations()
    assert set(zc.__all__) - {"__version__", "DIALECTS"} <= names
    assert {"__version__", "DIALECTS"} <= names
    for name in zc.__all__:
        value = getattr(zc, name)
        if not inspect.isclass(value) or value is zc.Status:
            continue
        fields = set(getattr(value, "__dataclass_fields__", {}))
        if value is zc.Error:
            fields = set(vars(zc.Error("message", 517, "description")))
        expected = (public_members(value) | fields) - {"args", "with_traceback", "add_note"}
        assert expected <= members[name], (name, expected - members[name])
        assert members[name] - {"__init__"} <= expected | {
            name for name in members[name] if name.startswith("__")
        }, (name, members[name] - expected)
