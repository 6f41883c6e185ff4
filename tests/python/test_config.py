import shutil

import pytest

import locmodel
from conftest import SAMPLE


def test_config_matches_the_config_command(sample, cli, tmp_path):
    sources, leaf = sample.children[0], sample.children[0].children[1].children[0].children[1]
    assert sources.config["FuzzyUpdate"] == int(cli("config", "get", SAMPLE, "FuzzyUpdate", "--item", "/0"))
    assert [sources.config.source("FuzzyUpdate"), leaf.config.source("FuzzyUpdate"),
            sample.config.source("FuzzyUpdate")] == ["own", "inherited", "default"]
    assert leaf.config["AutoSegm.LengthLimit"] == 40 and "#20000" in sample.config
    path = tmp_path / "p.lmp"
    shutil.copy(SAMPLE, path)
    cli("config", "set", path, "FuzzyUpdate", 85, "--item", "/0")
    cli("config", "reset", path, "AutoSegm.LengthLimit", "--item", "/0/1/0/1")
    sources.config["FuzzyUpdate"] = 85
    del leaf.config["AutoSegm.LengthLimit"]
    assert leaf.config["AutoSegm.LengthLimit"] == 120 and leaf.config.source("AutoSegm.LengthLimit") == "inherited"
    locmodel.save(sample, tmp_path / "py.lmp")
    assert (tmp_path / "py.lmp").read_bytes() == path.read_bytes()


def test_config_refuses_unknown_names_and_wrong_values(sample):
    with pytest.raises(KeyError, match="unknown configuration property: fuzzyupdate"):
        sample.config["fuzzyupdate"]
    with pytest.raises(TypeError):
        sample.config["FuzzyUpdate"] = "85"
    sample.cfg["FuzzyUpdate"] = "stored as text"
    assert sample.config.source("FuzzyUpdate") == "invalid" and sample.config["FuzzyUpdate"] == 90
