"""The type stubs (kestrun/_kestrun.pyi) name what the compiled module holds:
no more and no less, so that editors and mypy see the real API."""

import ast
import unittest
from pathlib import Path

import kestrun
from kestrun import _kestrun

STUBS = Path(__file__).resolve().parents[1] / "kestrun" / "_kestrun.pyi"


def stub_names(body):
    names = set()
    for node in body:
        if isinstance(node, (ast.ClassDef, ast.FunctionDef)):
            names.add(node.name)
        elif isinstance(node, ast.AnnAssign) and isinstance(node.target, ast.Name):
            names.add(node.target.id)
    return names


class StubTest(unittest.TestCase):
    def test_the_stubs_name_every_public_name_of_the_module_and_its_classes(self):
        tree = ast.parse(STUBS.read_text())
        self.assertEqual(stub_names(tree.body) - {"_Path"},
                         {n for n in dir(_kestrun) if not n.startswith("_")} | {"__version__"})
        for node in tree.body:
            if isinstance(node, ast.ClassDef) and node.name != "Error":
                runtime = {n for n in dir(getattr(_kestrun, node.name)) if not n.startswith("_")}
                if node.name == "ResultCode":
                    runtime -= {"name", "value"}
                stubbed = {n for n in stub_names(node.body) if not n.startswith("_")}
                self.assertEqual(stubbed - {"name", "value"}, runtime, node.name)
        self.assertEqual(set(kestrun.__all__), stub_names(tree.body) - {"_Path"})


if __name__ == "__main__":
    unittest.main()
