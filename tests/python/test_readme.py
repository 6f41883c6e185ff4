import importlib.util
import os
import pathlib
import subprocess
import sys

import pytest

import locmodel
from conftest import ROOT, SAMPLE


def test_readme_script_runs_and_type_checks(tmp_path):
    readme = (ROOT / "README.md").read_text()
    script = tmp_path / "example.py"
    script.write_text(readme.split("```python\n", 1)[1].split("```", 1)[0])
    out = tmp_path / "out.lmp.gz"
    subprocess.run([sys.executable, script, SAMPLE, out], check=True)
    assert len(list(locmodel.load(out).walk())) == 13
    if importlib.util.find_spec("mypy") is None:
        pytest.skip("no mypy")
    package = pathlib.Path(locmodel.__file__).parent.parent
    checked = subprocess.run([sys.executable, "-m", "mypy", "--strict", "--cache-dir", tmp_path / "cache", script],
                             capture_output=True, text=True, env={**os.environ, "MYPYPATH": str(package)})
    assert checked.returncode == 0, checked.stdout
