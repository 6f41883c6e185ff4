import gzip

import pytest

import locmodel
from conftest import SAMPLE


def test_load_walk_and_fields(sample):
    walked = list(sample.walk())
    assert len(walked) == 13
    assert [depth for _, depth in walked[:4]] == [0, 1, 2, 3]
    item, _ = walked[3]
    assert (item.path, item.type, item.res_id) == ("/0/0/0", 10, "#101")
    assert item.translations[1031].text == "Hauptfenster"
    assert item.parent.parent.parent is sample and sample.parent is None
    assert repr(item) == "<locmodel.Item /0/0/0 type=10 res_id='#101'>"


def test_save_round_trip_plain_and_gzip(sample, tmp_path):
    for gz in (False, True):
        path = tmp_path / ("p.lmp.gz" if gz else "p.lmp")
        locmodel.save(sample, path, gzip=gz, level=9)
        assert path.read_bytes()[:2] == b"\x1f\x8b" if gz else path.read_bytes() == SAMPLE.read_bytes()
        again = locmodel.load(path, sequential=True)
        assert [(i.path, i.res_id, dict(i.cfg) == dict(j.cfg)) for (i, _), (j, _) in zip(again.walk(), sample.walk())] == \
            [(i.path, i.res_id, True) for i, _ in sample.walk()]


def test_setters_and_text_kept_exactly():
    item = locmodel.Item(type=3, res_id="@a", comment="c")
    item.tab_num, item.state, item.data = 4, 0, b"\x00\xff"
    item.read_only = item.locked = True
    assert (item.tab_num, item.state, item.data, item.read_only, item.locked) == (4, 3, b"\x00\xff", True, True)
    item.locked = False
    assert item.state == 1
    lone = "x\ud800y"  # a lone surrogate survives the trip through UTF-16
    item.translations[7] = lone
    assert item.translations[7].text == lone and item.translations[7].props[2] == lone


def test_errors_carry_the_library_message(tmp_path):
    with pytest.raises(locmodel.FileError, match="cannot open file") as missing:
        locmodel.load(tmp_path / "none.lmp")
    assert isinstance(missing.value, (OSError, locmodel.Error))
    bad = tmp_path / "bad.lmp"
    bad.write_bytes(gzip.compress(b"not a project"))
    with pytest.raises(locmodel.DataError, match=f"^{bad}: malformed project file$"):
        locmodel.load(bad)
    with pytest.raises(ValueError, match="level"):
        locmodel.save(locmodel.Item(), tmp_path / "x.lmp", gzip=True, level=10)
    assert not (tmp_path / "x.lmp").exists()


def test_children_and_translations_follow_the_list_and_mapping_rules():
    root = locmodel.Item(res_id="@root")
    a, b, c = (locmodel.Item(res_id=n) for n in ("@a", "@b", "@c"))
    root.children.extend([a, c])
    root.children.insert(1, b)
    assert [x.res_id for x in root.children] == ["@a", "@b", "@c"] and root.children[-1] is c
    root.children.remove(b)
    del root.children[0]
    assert list(root.children) == [c] and a.parent is None and b.parent is None
    root.translations[1031] = "x"
    root.translations[1031] = "y"
    trans = root.translations[1031]
    trans.lang = 1036
    assert list(root.translations) == [1036] and trans.text == "y"
    with pytest.raises(KeyError):
        root.translations[1031]
