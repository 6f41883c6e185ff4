// Languages, segmentation and the text services: thin functions over the
// library's process-wide tables.
#include <pybind11/stl.h>

#include <memory>
#include <vector>

#include "binding.h"
#include "locmodel/condition/condition_checker.h"
#include "locmodel/lang/encoding.h"
#include "locmodel/lang/lang_id.h"
#include "locmodel/lang/lang_map.h"
#include "locmodel/lang/macros_util.h"
#include "locmodel/segm/icu_breaker.h"
#include "locmodel/segm/srx_breaker.h"
#include "locmodel/segm/srx_store.h"
#include "locmodel/util/char_entities.h"
#include "locmodel/util/str_util.h"

namespace locmodel::python {
namespace {

// A row of the language table, read on demand.
struct Language {
  int id;
  const CLangDescr& Row() const { return CLangMap::Instance().GetLang(id); }
};

bool Known(int id) { return CLangMap::Instance().GetLangs().count(CLangId(id).GetRawLng()) != 0; }

// The language a LANG argument names: an identifier (brand bits allowed), a
// culture name in any case, or a Language.
int LangOf(py::handle lang) {
  if (py::isinstance<Language>(lang)) return lang.cast<const Language&>().id;
  if (py::isinstance<py::str>(lang)) {
    const std::u16string culture = ToU16(lang);
    const int id = culture.empty() ? -1 : CLangMap::Instance().GetLangByCulName(culture);
    if (id == -1) throw py::key_error("no language " + std::string(py::repr(lang)));
    return id;
  }
  const int id = lang.cast<int>();
  if (!Known(id)) throw py::key_error("no language " + std::to_string(id));
  return id;
}

py::dict Macros(int id) {
  py::dict macros;
  for (const auto& [name, value] : CLangMap::Instance().GetLangMacros(id)) macros[ToPy(name)] = ToPy(value);
  return macros;
}

std::vector<py::str> Segment(const py::str& pyText, py::handle lang, py::handle srx) {
  const std::u16string text = ToU16(pyText);
  const int id = LangOf(lang);
  std::unique_ptr<ISegmentator> breaker;
  if (srx.is_none()) {
    breaker = std::make_unique<CICUBreaker>(id);
  } else {
    const CSRXStore store = py::isinstance<CSRXStore>(srx)
                                ? srx.cast<CSRXStore>()
                                : py::module_::import("locmodel").attr("SrxStore").attr("load")(srx).cast<CSRXStore>();
    breaker = std::make_unique<CSRXBreaker>(store, id);
  }
  std::vector<int> breaks;
  {
    py::gil_scoped_release unlocked;
    breaks = breaker->GetBreaks(text);
  }
  std::vector<py::str> segments;
  size_t start = 0;
  breaks.push_back(static_cast<int>(text.size()));
  for (const int end : breaks) {
    segments.push_back(ToPy(text.substr(start, static_cast<size_t>(end) - start)));
    start = static_cast<size_t>(end);
  }
  return segments;
}

// A text function of the library, as str -> str.
template <typename Transform>
auto TextFunction(Transform transform) {
  return [transform](const py::str& text) {
    std::u16string value = ToU16(text);
    transform(value);
    return ToPy(value);
  };
}

class Condition {
 public:
  explicit Condition(const py::str& expression) : expression_(ToU16(expression)) {}
  bool Evaluate(const py::dict& params) {
    CConditionChecker checker(expression_);
    for (const auto& [name, value] : params) checker.SetParam(ToU16(name), ToU16(value));
    const bool result = checker.Evaluate();
    error_ = checker.GetLastError();
    return result;
  }
  py::str expression() const { return ToPy(expression_); }
  int error() const { return error_; }

 private:
  std::u16string expression_;
  int error_ = 0;
};

}  // namespace

void DefineServices(py::module_& m) {
  py::class_<Language>(m, "Language")
      .def_readonly("id", &Language::id)
      .def_property_readonly("culture", [](const Language& l) { return ToPy(l.Row().cultureName); })
      .def_property_readonly("name", [](const Language& l) { return ToPy(l.Row().name); })
      .def_property_readonly("long_name", [](const Language& l) { return ToPy(CLangMap::Instance().GetLongLangName(l.id)); })
      .def_property_readonly("lang_code", [](const Language& l) { return ToPy(l.Row().langCode); })
      .def_property_readonly("country_code", [](const Language& l) { return ToPy(l.Row().countryCode); })
      .def_property_readonly("lang_group", [](const Language& l) { return l.Row().langGroup; })
      .def_property_readonly("code_page", [](const Language& l) { return l.Row().ansiCodepage; })
      .def_property_readonly("encoding", [](const Language& l) { return ToPy(CEncoding::SelectAnsiByLang.GetIcuName(l.id)); })
      .def_property_readonly("iana", [](const Language& l) { return ToPy(CEncoding::SelectAnsiByLang.GetIanaName(l.id)); })
      .def_property_readonly("rtl", [](const Language& l) { return CLangMap::Instance().IsRtlLang(l.id); })
      .def_property_readonly("macros", [](const Language& l) { return Macros(l.id); })
      .def("__eq__", [](const Language& a, const Language& b) { return a.id == b.id; })
      .def("__hash__", [](const Language& l) { return l.id; })
      .def("__repr__", [](const Language& l) {
        return "<locmodel.Language " + std::to_string(l.id) + " " + std::string(py::repr(ToPy(l.Row().cultureName))) + ">";
      });

  m.def("lang", [](py::handle lang) { return Language{LangOf(lang)}; }, py::arg("id_or_culture"));
  m.def("langs", [] {
    std::vector<Language> all;
    for (const auto& [id, row] : CLangMap::Instance().GetLangs()) all.push_back({id});
    return all;
  });
  m.def("expand", [](const py::str& text, py::handle lang, std::optional<py::dict> values) {
    MacrosUtil::Map macros = CLangMap::Instance().GetLangMacros(LangOf(lang));
    if (values)
      for (const auto& [name, value] : *values) macros[u"$(" + ToU16(name) + u")"] = ToU16(value);
    return ToPy(MacrosUtil::ApplyMacrosMap(ToU16(text), macros));
  }, py::arg("template"), py::arg("lang"), py::arg("values") = py::none());
  m.def("segment", &Segment, py::arg("text"), py::arg("lang"), py::arg("srx") = py::none());

  py::module_ entities = m.def_submodule("entities", "Character entity references (&amp;, &#233;) in text.");
  entities.def("decode", [](const py::str& text, bool xml) {
    return TextFunction(xml ? CCharEntitiesHelper::XMLEntitiesToUnicode : CCharEntitiesHelper::HTMLEntitiesToUnicode)(text);
  }, py::arg("text"), py::arg("xml") = false);
  entities.def("encode", [](const py::str& text, bool xml) {
    return TextFunction(xml ? CCharEntitiesHelper::UnicodeToXMLEntities : CCharEntitiesHelper::UnicodeToHTMLEntities)(text);
  }, py::arg("text"), py::arg("xml") = false);
  entities.def("hide", [](const py::str& text, bool xml) {
    return TextFunction([xml](std::u16string& value) {
      CCharEntitiesHelper::HideEntities(xml ? CCharEntitiesHelper::GetXMLEntityToUnicodeMap()
                                            : CCharEntitiesHelper::GetHTMLEntityToUnicodeMap(), value);
    })(text);
  }, py::arg("text"), py::arg("xml") = false);

  py::module_ escapes = m.def_submodule("escapes", "Escape codes (\\n, \\t, \\\\) of control characters.");
  escapes.def("show", TextFunction([](std::u16string& v) { v = ShowEscapeCodes(v); }), py::arg("text"));
  escapes.def("hide", TextFunction([](std::u16string& v) { v = HideEscapeCodes(v); }), py::arg("text"));

  py::class_<Condition>(m, "Condition")
      .def(py::init<const py::str&>(), py::arg("expression"))
      .def("evaluate", &Condition::Evaluate, py::arg("params") = py::dict())
      .def_property_readonly("expression", &Condition::expression)
      .def_property_readonly("error", &Condition::error)
      .def("__repr__", [](const Condition& c) { return "<locmodel.Condition " + std::string(py::repr(c.expression())) + ">"; });
  m.attr("condition") = m.attr("Condition");
}

}  // namespace locmodel::python
