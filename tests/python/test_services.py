import pytest

import locmodel
from conftest import ROOT


def test_languages():
    de = locmodel.lang("DE-de")
    assert (de.id, de.culture, de.code_page, de.encoding) == (1031, "de-DE", 1252, "windows-1252")
    assert locmodel.lang(0x10407).culture == "de-DE" and locmodel.lang(de) == de
    assert de in locmodel.langs() and de.macros["$(CultureName)"] == "de-DE"
    for unknown in ("xx-YY", "", 0x7fff):
        with pytest.raises(KeyError):
            locmodel.lang(unknown)
    assert locmodel.expand("$(Out)\\$(CultureName)\\m.rc", 0x040C, {"Out": "o"}) == "o\\fr-FR\\m.rc"


def test_segmentation_icu_and_srx():
    text = "One sentence. Another one! Last"
    assert locmodel.segment(text, 1033) == ["One sentence. ", "Another one! ", "Last"]
    rules = locmodel.SrxStore.load(ROOT / "data" / "segment.srx")
    assert "".join(locmodel.segment(text, "en-US", srx=rules)) == text
    assert locmodel.segment(text, 1033, srx=ROOT / "data" / "segment.srx") == locmodel.segment(text, 1033, srx=rules)
    assert locmodel.SrxStore.from_bytes(rules.to_bytes()) == rules
    with pytest.raises(locmodel.FileError):
        locmodel.SrxStore.load(ROOT / "missing.srx")


def test_text_services():
    assert locmodel.entities.decode("x&amp;y &eacute;") == "x&y é"
    assert locmodel.entities.encode("<é>", xml=True) == "&lt;é&gt;"
    assert locmodel.entities.hide("x&amp;y") == "x&&&&&y"
    assert locmodel.escapes.hide(locmodel.escapes.show("a\tb\\")) == "a\tb\\"
    cond = locmodel.condition('LANG = "de" OR LANG = "fr"')
    assert cond.evaluate({"LANG": "fr"}) and not cond.evaluate({"LANG": "en"}) and cond.error == 0
    broken = locmodel.condition('LANG = ')
    assert not broken.evaluate() and broken.error == 2
