#!/usr/bin/env python3
"""`locmodel migrate` on the old-form sample database in examples/.

Usage: migrate_example_test.py LOCMODEL EXAMPLES_DIR [TEST_NAME...]
The expected outputs beside the sample are written by hand.
"""
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import unittest

LOCMODEL = EXAMPLES = None
SAMPLE = "old-project.db"


def expected(name):
    with open(os.path.join(EXAMPLES, name), encoding="utf-8") as f:
        return f.read()


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


class MigrateExample(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="locmodel-migrate-")
        shutil.copy(os.path.join(EXAMPLES, SAMPLE), self.dir)

    def tearDown(self):
        shutil.rmtree(self.dir)

    def run_tool(self, *args):
        return subprocess.run([LOCMODEL, *args], cwd=self.dir, capture_output=True, text=True,
                              stdin=subprocess.DEVNULL)

    def path(self, name):
        return os.path.join(self.dir, name)

    def test_output(self):
        """Lines, warnings and the converted project as written by hand; the
        input keeps its bytes."""
        before = digest(self.path(SAMPLE))
        done = self.run_tool("migrate", SAMPLE, "old-project.lmp")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout, expected("old-project.migrate.out"))
        self.assertEqual(done.stderr, expected("old-project.migrate.err"))
        self.assertEqual(digest(self.path(SAMPLE)), before)
        self.assertEqual(sorted(os.listdir(self.dir)), ["old-project.db", "old-project.lmp"])
        dump = self.run_tool("dump", "old-project.lmp", "--json")
        self.assertEqual(dump.returncode, 0, dump.stderr)
        self.assertEqual(json.loads(dump.stdout), json.loads(expected("old-project.dump.json")))

    def test_refusals_write_nothing(self):
        """Each run that must not write leaves the folder as it was; an
        existing project keeps its bytes and, when replaced, its mode."""
        with open(self.path("noise.db"), "wb") as f:
            f.write(bytes(range(256)) * 8)
        os.symlink(SAMPLE, self.path("link.lmp"))
        os.mkfifo(self.path("pipe.db"))
        same = os.path.join("..", os.path.basename(self.dir), SAMPLE)
        cases = [  # arguments, exit status, stderr pattern
            ([SAMPLE, "new.lmp", "--strict"], 1,
             r"warning: old-project\.db: .*\nlocmodel: old-project\.db: warnings with --strict"),
            ([SAMPLE, "new.lmp", "--dry-run"], 0, r"warning"),
            (["noise.db", "new.lmp"], 1, r"^locmodel: noise\.db: "),
            (["missing.db", "new.lmp"], 1, r"^locmodel: missing\.db: "),
            ([SAMPLE, "link.lmp"], 2, r"names the input file"),
            ([SAMPLE, same], 2, r"names the input file"),
            (["-", "new.lmp"], 2, r"not from standard input or a pipe"),
            (["pipe.db", "new.lmp"], 2, r"not from standard input or a pipe"),
            ([SAMPLE, "new.lmp", "--gzip=10"], 2, r"--gzip takes a level"),
        ]
        listing = sorted(os.listdir(self.dir))
        before = digest(self.path(SAMPLE))
        for args, status, pattern in cases:
            with self.subTest(args=args):
                done = self.run_tool("migrate", *args)
                self.assertEqual(done.returncode, status, done.stderr)
                self.assertRegex(done.stderr, pattern)
                self.assertEqual(sorted(os.listdir(self.dir)), listing)
                self.assertEqual(digest(self.path(SAMPLE)), before)

        with open(self.path("private.lmp"), "wb") as f:
            f.write(b"old")
        os.chmod(self.path("private.lmp"), 0o600)
        done = self.run_tool("migrate", SAMPLE, "private.lmp", "--gzip=9")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(os.stat(self.path("private.lmp")).st_mode & 0o777, 0o600)
        with open(self.path("private.lmp"), "rb") as f:
            self.assertEqual(f.read(2), b"\x1f\x8b")

    def test_every_stored_value_is_accounted_for(self):
        """Each row of the value store is a read line or a warning (here of a
        dry run, which prints what the migration does)."""
        done = self.run_tool("migrate", SAMPLE, "new.lmp", "--dry-run")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout, expected("old-project.migrate.out").replace(
            "migrated old-project.db -> old-project.lmp:", "checked old-project.db:"))
        read = set(re.findall(r"^read (.*?) = ", done.stdout, re.M))
        warned = set(re.findall(r"^locmodel: warning: old-project\.db: (.*?): ", done.stderr, re.M))
        values = self.run_tool("db-values", SAMPLE, "--json")
        self.assertEqual(values.returncode, 0, values.stderr)
        rows = json.loads(values.stdout)
        self.assertGreater(len(rows), 10)
        for row in rows:
            key, file = row["key"], row["file"]
            with self.subTest(key=key, file=file):
                if file:
                    self.assertIn(f"{key} (file {file})", warned)
                else:
                    self.assertTrue(key in read or key in warned)


if __name__ == "__main__":
    LOCMODEL, EXAMPLES = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=sys.argv[:1] + sys.argv[3:])
