import os
import pathlib
import subprocess

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
SAMPLE = ROOT / "examples" / "sample-project.lmp"


@pytest.fixture
def sample():
    import locmodel
    return locmodel.load(SAMPLE)


@pytest.fixture
def cli():
    """Runs the command-line tool; its output without the newline."""
    def run(*args):
        done = subprocess.run([os.environ["LOCMODEL_CLI"], *map(str, args)], capture_output=True, text=True)
        assert done.returncode == 0, done.stderr
        return done.stdout.rstrip("\n")
    return run
