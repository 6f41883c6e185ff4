#!/usr/bin/env python3
"""A translator's round trip through the locmodel CLI, edited with xml.etree.

Usage: roundtrip_test.py LOCMODEL SAMPLE_PROJECT
Runs under plain python3 (CTest) and under pytest alike.
"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

LOCMODEL = os.environ.get("LOCMODEL")
SAMPLE = os.environ.get("LOCMODEL_SAMPLE")
NS = {"x": "urn:oasis:names:tc:xliff:document:2.0", "lm": "urn:locmodel:xliff:1"}
GERMAN = 0x407


def run(*args):
    done = subprocess.run([LOCMODEL, *args], capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError(f"locmodel {' '.join(args)}: {done.stderr}")
    return done.stdout


def german_texts(project):
    """(resId path) -> (text, status) of every German translation."""
    found = {}

    def walk(item, path):
        path = path + (item["resId"],)
        for trans in item["translations"]:
            if trans["lang"] == GERMAN:
                text = next((p["value"] for p in trans["props"] if p["name"] == "#2"), None)
                found[path] = (text, trans["status"])
        for child in item["children"]:
            walk(child, path)

    walk(json.loads(run("dump", project, "--json"))["root"], ())
    return found


class RoundTrip(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="locmodel-xliff-")
        self.project = os.path.join(self.dir, "sample.lmp")
        shutil.copyfile(SAMPLE, self.project)
        ET.register_namespace("", NS["x"])
        ET.register_namespace("lm", NS["lm"])

    def tearDown(self):
        shutil.rmtree(self.dir)

    def export(self, *extra):
        out = os.path.join(self.dir, "de.xlf")
        run("xliff", "export", self.project, "--target", "de-DE", "-o", out, *extra)
        return out

    def test_exactly_the_edited_translations_change(self):
        before = german_texts(self.project)
        xlf = self.export()
        tree = ET.parse(xlf)
        edited = {}
        for unit in tree.iterfind(".//x:unit", NS):
            target = unit.find("x:segment/x:target", NS)
            if unit.get("translate") == "no" or target is None or unit.get("name") not in ("@IDCANCEL", "#1001"):
                continue
            target.text = "[" + (target.text or "") + "]"
            edited[unit.get("name")] = target.text
        self.assertEqual(len(edited), 2)
        tree.write(xlf, encoding="UTF-8", xml_declaration=True)
        report = json.loads(run("xliff", "import", self.project, xlf, "--json"))
        self.assertEqual(report["updated"], 2)
        after = german_texts(self.project)
        changed = {path[-1]: after[path][0] for path in after if after[path] != before.get(path)}
        self.assertEqual(changed, edited)

    def test_segmented_export_joins_back(self):
        with open(self.project, "rb") as f:
            original = f.read()
        xlf = self.export("--segment")
        units = list(ET.parse(xlf).iterfind(".//x:unit", NS))
        self.assertTrue(any(len(u.findall("x:segment", NS)) > 1 for u in units))
        report = json.loads(run("xliff", "import", self.project, xlf, "--json"))
        self.assertEqual(report["updated"], 0)
        with open(self.project, "rb") as f:
            self.assertEqual(f.read(), original)


if __name__ == "__main__":
    LOCMODEL, SAMPLE = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1])
