import pytest

import locmodel

# One value per property class, set through the class it names.
VALUES = [
    ("CEmptyProp", None), ("CStrProp", "text"), ("CBinaryProp", b"\x00\x01"), ("CIntProp", -5),
    ("CBoolProp", True), ("CItemIdProp", 2**64 - 1), ("CIntVectorProp", [3, 1, 3]), ("CIntSetProp", {1, 2}),
    ("CLangSetProp", {1031, 1036}), ("CStrSetProp", {"a", "b"}), ("CStrListProp", ["b", "a"]),
    ("CIntStrMapProp", {1: "one", -2: "minus two"}), ("CEmbeddedCfgProp", locmodel.EmbeddedCfg(2, 4, 0)),
    ("CVariantProp", locmodel.Variant.from_text("Arial")),
    ("CConditionFilterCfgProp", [locmodel.ConditionEntry("ID", "Title", 'LANG = "de"')]),
    ("CPrjLangsProp", locmodel.ProjectLangs.from_stored(1033, 1031, 7777, {1031, 1036})),
]


def test_every_class_round_trips_through_a_file(tmp_path):
    item = locmodel.Item()
    for cls, value in VALUES:
        item.props.set(cls, value, cls)
    item.props["new"] = {"inferred"}
    path = tmp_path / "values.lmp"
    locmodel.save(item, path)
    again = locmodel.load(path)
    for cls, value in VALUES:
        assert again.props.class_of(cls) == cls and again.props[cls] == value, cls
    assert again.props.class_of("new") == "CStrSetProp"


def test_a_value_keeps_the_class_it_replaces():
    item = locmodel.Item()
    item.props.set("id", 1, "CItemIdProp")
    item.props["id"] = 2**40
    assert item.props.class_of("id") == "CItemIdProp"
    item.props["n"] = 1
    for wrong in ("1", True, [1]):
        with pytest.raises(TypeError, match="a CIntProp: expected int"):
            item.props["n"] = wrong
    with pytest.raises(ValueError, match="out of range"):
        item.props["n"] = 2**31
    with pytest.raises(TypeError, match="name the class"):
        item.props["empty"] = []
    assert item.props["n"] == 1 and "empty" not in item.props


def test_property_names():
    item = locmodel.Item()
    item.props["#12"] = "numeric"
    item.props["@#x"] = "textual"
    assert dict(item.props) == {"@#x": "textual", 12: "numeric"}
    del item.props[12]
    with pytest.raises(KeyError):
        item.props["#x"] = 1
    with pytest.raises(KeyError):
        del item.props["missing"]


def test_variant_and_project_langs_objects():
    assert locmodel.Variant.from_int(7) == locmodel.Variant(locmodel.Variant.from_int(7).raw)
    assert locmodel.Variant.from_float(1.5).vt == 5 and locmodel.Variant.from_int(1).text is None
    langs = locmodel.ProjectLangs(1033)
    langs.selected = {1031, 1036}
    langs.target = 1031
    langs.target = 1049  # not selected: the rule keeps 1031
    assert (langs.target, langs.selected) == (1031, {1031, 1036})
