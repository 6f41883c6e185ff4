// Property values as Python values, by class: str, int, bool, bytes, list,
// set, dict and None for the plain classes, objects of this module for the
// structured ones. A value is converted into the class it is meant for (the
// stored value's, the configuration property's, or one named by the
// caller); only a new property without a named class takes the class its
// Python type suggests.
#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <climits>
#include <fstream>
#include <map>
#include <set>
#include <vector>

#include "binding.h"
#include "locmodel/condition/condition_filter.h"
#include "locmodel/config/lang_set.h"
#include "locmodel/config/prj_langs.h"
#include "locmodel/props/prop_classes.h"
#include "locmodel/segm/srx_store.h"
#include "locmodel/util/unicode.h"

namespace locmodel::python {
namespace {

using python::ToPy;

[[noreturn]] void Mismatch(const char* expected, py::handle value) {
  throw py::type_error(std::string("expected ") + expected + ", not " +
                       std::string(py::str(value.get_type().attr("__name__"))));
}

long long Integer(py::handle value, long long low, long long high) {
  if (!PyLong_Check(value.ptr()) || PyBool_Check(value.ptr())) Mismatch("int", value);
  const auto number = value.cast<py::int_>();
  if (number < py::int_(low) || number > py::int_(high))
    throw py::value_error(std::string(py::str(value)) + " is out of range " + std::to_string(low) + ".." + std::to_string(high));
  return value.cast<long long>();
}

// One function pair per value type.
py::object ToPy(PropNoValue) { return py::none(); }
py::object ToPy(int value) { return py::int_(value); }
py::object ToPy(bool value) { return py::bool_(value); }
py::object ToPy(unsigned long long value) { return py::int_(value); }
py::object ToPy(const std::vector<unsigned char>& value) {
  return py::bytes(reinterpret_cast<const char*>(value.data()), value.size());
}
template <typename T>
py::object ToPy(const T& value) { return py::cast(value); }  // a class bound below
template <typename T>
py::object ToPy(const std::vector<T>& values) {
  py::list list;
  for (const T& value : values) list.append(ToPy(value));
  return list;
}
template <typename T>
py::object ToPy(const std::set<T>& values) {
  py::set set;
  for (const T& value : values) set.add(ToPy(value));
  return set;
}
py::object ToPy(const CConditionFilterCfg& values) {
  return ToPy(static_cast<const std::vector<CConditionEntry>&>(values));
}
py::object ToPy(const CIntStrMap& values) {
  py::dict dict;
  for (const auto& [key, text] : values) dict[py::int_(key)] = locmodel::python::ToPy(text);
  return dict;
}

void FromPy(py::handle h, PropNoValue&) { if (!h.is_none()) Mismatch("None", h); }
void FromPy(py::handle h, std::u16string& out) { out = ToU16(h); }
void FromPy(py::handle h, int& out) { out = static_cast<int>(Integer(h, INT_MIN, INT_MAX)); }
void FromPy(py::handle h, unsigned long long& out) {
  if (!PyLong_Check(h.ptr()) || PyBool_Check(h.ptr())) Mismatch("int", h);
  out = h.cast<unsigned long long>();  // raises for a negative or too large number
}
void FromPy(py::handle h, bool& out) {
  if (!PyBool_Check(h.ptr())) Mismatch("bool", h);
  out = h.ptr() == Py_True;
}
void FromPy(py::handle h, std::vector<unsigned char>& out) {
  if (!PyBytes_Check(h.ptr()) && !PyByteArray_Check(h.ptr())) Mismatch("bytes", h);
  const std::string bytes = py::bytes(py::reinterpret_borrow<py::object>(h));
  out.assign(bytes.begin(), bytes.end());
}
template <typename T>
void FromPy(py::handle h, T& out) { out = h.cast<T>(); }
template <typename T>
void FromPy(py::handle h, std::vector<T>& out) {
  if (!py::isinstance<py::list>(h) && !py::isinstance<py::tuple>(h)) Mismatch("list", h);
  out.clear();
  for (py::handle item : h) FromPy(item, out.emplace_back());
}
template <typename T>
void FromPy(py::handle h, std::set<T>& out) {
  if (!py::isinstance<py::set>(h) && !py::isinstance<py::frozenset>(h)) Mismatch("set", h);
  out.clear();
  for (py::handle item : h) {
    T value{};
    FromPy(item, value);
    out.insert(std::move(value));
  }
}
void FromPy(py::handle h, CConditionFilterCfg& out) { FromPy(h, static_cast<std::vector<CConditionEntry>&>(out)); }
void FromPy(py::handle h, CIntStrMap& out) {
  if (!py::isinstance<py::dict>(h)) Mismatch("dict", h);
  out.clear();
  for (const auto& [key, text] : h.cast<py::dict>()) FromPy(text, out[static_cast<int>(Integer(key, INT_MIN, INT_MAX))]);
}

// One row per property class the module converts.
struct Form {
  const CPropClass* cls;
  py::object (*toPy)(const CProp&);
  CProp* (*fromPy)(py::handle);
};

template <typename P>
Form FormOf() {
  using T = typename P::ValueType;
  return {&P::classInstance,
          [](const CProp& prop) -> py::object { return ToPy(static_cast<const T&>(static_cast<const P&>(prop))); },
          [](py::handle h) -> CProp* {
            T value{};
            FromPy(h, value);
            return new P(value);
          }};
}

const std::vector<Form>& Forms() {
  static const std::vector<Form> forms = {
      FormOf<CEmptyProp>(),     FormOf<CStrProp>(),         FormOf<CBinaryProp>(),  FormOf<CIntProp>(),
      FormOf<CBoolProp>(),      FormOf<CItemIdProp>(),      FormOf<CIntVectorProp>(), FormOf<CIntSetProp>(),
      FormOf<CLangSetProp>(),   FormOf<CStrSetProp>(),      FormOf<CStrListProp>(), FormOf<CIntStrMapProp>(),
      FormOf<CEmbeddedCfgProp>(), FormOf<CVariantProp>(), FormOf<CConditionFilterCfgProp>(),
      FormOf<CPrjLangsProp>(),  FormOf<CSRXStoreProp>(),
  };
  return forms;
}

const Form* FindForm(const CPropClass& cls) {
  for (const Form& form : Forms())
    if (form.cls == &cls) return &form;
  return nullptr;
}

// The class a new property gets from its Python value alone.
const CPropClass* Suggested(py::handle value) {
  const auto elements = [&](auto isKind) {
    if (py::len(value) == 0) return false;
    for (py::handle item : value)
      if (!isKind(item)) return false;
    return true;
  };
  const auto isStr = [](py::handle h) { return py::isinstance<py::str>(h); };
  const auto isInt = [](py::handle h) { return PyLong_Check(h.ptr()) && !PyBool_Check(h.ptr()); };
  const auto isEntry = [](py::handle h) { return py::isinstance<CConditionEntry>(h); };
  if (value.is_none()) return &CEmptyProp::classInstance;
  if (PyBool_Check(value.ptr())) return &CBoolProp::classInstance;
  if (isInt(value)) return &CIntProp::classInstance;
  if (isStr(value)) return &CStrProp::classInstance;
  if (PyBytes_Check(value.ptr()) || PyByteArray_Check(value.ptr())) return &CBinaryProp::classInstance;
  if (py::isinstance<py::dict>(value)) return &CIntStrMapProp::classInstance;
  if (py::isinstance<py::list>(value)) {
    if (elements(isStr)) return &CStrListProp::classInstance;
    if (elements(isInt)) return &CIntVectorProp::classInstance;
    if (elements(isEntry)) return &CConditionFilterCfgProp::classInstance;
  }
  if (py::isinstance<py::set>(value) || py::isinstance<py::frozenset>(value)) {
    if (elements(isStr)) return &CStrSetProp::classInstance;
    if (elements(isInt)) return &CIntSetProp::classInstance;
  }
  if (py::isinstance<CEmbeddedCfg>(value)) return &CEmbeddedCfgProp::classInstance;
  if (py::isinstance<VARIANT>(value)) return &CVariantProp::classInstance;
  if (py::isinstance<CPrjLangs>(value)) return &CPrjLangsProp::classInstance;
  if (py::isinstance<CSRXStore>(value)) return &CSRXStoreProp::classInstance;
  throw py::type_error("no property class follows from a " + std::string(py::str(value.get_type().attr("__name__"))) +
                       " value alone: name the class, as in props.set(name, value, 'CIntSetProp')");
}

CSRXStore LoadSrx(py::handle path) {
  const std::u16string file = ToPath(path);
  CSRXStore store;
  try {
    if (store.Load(file)) return store;
  } catch (const CSRXStore::CLoadError& e) {
    Raise(Status::Malformed(e.what()));
  }
  if (!std::ifstream(Utf16ToUtf8(file))) Raise(Status::CannotOpen(file));
  Raise(Status::Malformed("not SRX rules that parse", file));
}

template <typename T>
std::string Repr(const char* name, const T& value) {
  return std::string("<locmodel.") + name + " " + std::string(py::repr(ToPy(value))) + ">";
}

}  // namespace

py::object PropToPy(const CProp& prop) {
  if (const Form* form = FindForm(prop.GetClass())) return form->toPy(prop);
  throw py::type_error(std::string("no Python form for a ") + prop.GetClass().GetTypeName());
}

std::unique_ptr<CProp> PropFromPy(py::handle value, const CPropClass* cls) {
  const Form* form = FindForm(cls ? *cls : *Suggested(value));
  if (!form) throw py::type_error(std::string("no Python form for a ") + cls->GetTypeName());
  try {
    return std::unique_ptr<CProp>(form->fromPy(value));
  } catch (const py::cast_error&) {
    throw py::type_error(std::string("a ") + form->cls->GetTypeName() + " does not take " + std::string(py::repr(value)));
  } catch (const py::type_error& e) {
    throw py::type_error(std::string("a ") + form->cls->GetTypeName() + ": " + e.what());
  }
}

const CPropClass* PropClassByName(const std::string& typeName) {
  for (const Form& form : Forms())
    if (typeName == form.cls->GetTypeName()) return form.cls;
  throw py::value_error("unknown property class: " + typeName);
}

py::object PropNameToPy(const CPropName& name) {
  if (!name.IsStr()) return py::int_(name.GetInt());
  const std::u16string& text = name.GetStr();
  // A name that would read as another gets one "@" in front.
  const bool marked = text.empty() || text[0] == u'#' || text[0] == u'@';
  return ToPy(marked ? u"@" + text : text);
}

CPropName PropNameFromPy(py::handle key) {
  if (PyLong_Check(key.ptr()) && !PyBool_Check(key.ptr()))
    return CPropName(static_cast<CPropName::CPropId>(Integer(key, 1, 65535)));
  const std::u16string text = ToU16(key);
  if (!text.empty() && text[0] == u'#') {
    const bool digits = text.size() > 1 && text.size() <= 6 &&
                        text.find_first_not_of(u"0123456789", 1) == std::u16string::npos;
    if (!digits) throw py::key_error("a numeric property name is # and a number: " + Utf16ToUtf8(text));
    return PropNameFromPy(py::int_(std::stoi(Utf16ToUtf8(text.substr(1)))));
  }
  CPropName name;
  name.FromString(text);
  return name;
}

void DefineValues(py::module_& m) {
  py::class_<CEmbeddedCfg>(m, "EmbeddedCfg")
      .def(py::init([](int sourceType, int kindCode, int extraParam) {
             return CEmbeddedCfg{static_cast<CEmbeddedCfg::CSourceType>(sourceType), kindCode, extraParam};
           }),
           py::arg("source_type") = -1, py::arg("kind_code") = -1, py::arg("extra_param") = -1)
      .def_property("source_type", [](const CEmbeddedCfg& c) { return static_cast<int>(c.SourceType); },
                    [](CEmbeddedCfg& c, int v) { c.SourceType = static_cast<CEmbeddedCfg::CSourceType>(v); })
      .def_readwrite("kind_code", &CEmbeddedCfg::KindCode)
      .def_readwrite("extra_param", &CEmbeddedCfg::ExtraParam)
      .def(py::self == py::self)
      .def("__repr__", [](const CEmbeddedCfg& c) {
        return "EmbeddedCfg(source_type=" + std::to_string(c.SourceType) + ", kind_code=" + std::to_string(c.KindCode) +
               ", extra_param=" + std::to_string(c.ExtraParam) + ")";
      });

  py::class_<VARIANT>(m, "Variant")
      .def(py::init([](const py::bytes& raw, std::optional<py::str> text) {
             const std::string bytes = raw;
             if (bytes.size() != VARIANT::kRawSize) throw py::value_error("a variant's raw bytes are 16");
             VARIANT::Raw array;
             std::copy(bytes.begin(), bytes.end(), array.begin());
             return VARIANT::FromRaw(array, text ? std::optional(ToU16(*text)) : std::nullopt);
           }),
           py::arg("raw"), py::arg("text") = py::none())
      .def_static("from_int", &VARIANT::FromInt32)
      .def_static("from_float", &VARIANT::FromDouble)
      .def_static("from_text", [](const py::str& text) { return VARIANT::FromText(ToU16(text)); })
      .def_property_readonly("vt", &VARIANT::vt)
      .def_property_readonly("raw", [](const VARIANT& v) {
        return py::bytes(reinterpret_cast<const char*>(v.raw().data()), v.raw().size());
      })
      .def_property_readonly("text", [](const VARIANT& v) -> py::object {
        if (v.vt() != VARIANT::VT_BSTR) return py::none();
        return locmodel::python::ToPy(v.text());
      })
      .def(py::self == py::self)
      .def("__repr__", [](const VARIANT& v) { return "<locmodel.Variant vt=" + std::to_string(v.vt()) + ">"; });

  py::class_<CConditionEntry>(m, "ConditionEntry")
      .def(py::init([](const py::str& id, const py::str& title, const py::str& expression) {
             return CConditionEntry(ToU16(id), ToU16(title), ToU16(expression));
           }),
           py::arg("id"), py::arg("title"), py::arg("expression"))
      .def_property("id", [](const CConditionEntry& e) { return locmodel::python::ToPy(e.ID); },
                    [](CConditionEntry& e, const py::str& v) { e.ID = ToU16(v); })
      .def_property("title", [](const CConditionEntry& e) { return locmodel::python::ToPy(e.Title); },
                    [](CConditionEntry& e, const py::str& v) { e.Title = ToU16(v); })
      .def_property("expression", [](const CConditionEntry& e) { return locmodel::python::ToPy(e.Expression); },
                    [](CConditionEntry& e, const py::str& v) { e.Expression = ToU16(v); })
      .def(py::self == py::self)
      .def("__repr__", [](const CConditionEntry& e) { return Repr("ConditionEntry", e.Expression); });

  py::class_<CPrjLangs>(m, "ProjectLangs")
      .def(py::init<int>(), py::arg("native") = 7777)
      .def_static("from_stored", [](int native, int target, int secondary, const CLangSet& selected) {
        return CPrjLangs::FromStored(native, target, secondary, selected);
      }, py::arg("native"), py::arg("target"), py::arg("secondary"), py::arg("selected"))
      .def_property_readonly("native", &CPrjLangs::getNative)
      .def_property("target", &CPrjLangs::getTarget, &CPrjLangs::setTarget)
      .def_property("secondary", &CPrjLangs::getSecondary, &CPrjLangs::setSecondary)
      .def_property("selected", [](const CPrjLangs& l) { return ToPy(l.getSelectedLangs()); },
                    [](CPrjLangs& l, py::handle v) {
                      CLangSet langs;
                      FromPy(v, langs);
                      l.setSelectedLangs(langs);
                    })
      .def("add_selected", &CPrjLangs::addSelectedLang)
      .def(py::self == py::self)
      .def("__repr__", [](const CPrjLangs& l) {
        return "<locmodel.ProjectLangs native=" + std::to_string(l.getNative()) + " target=" +
               std::to_string(l.getTarget()) + " secondary=" + std::to_string(l.getSecondary()) + " selected=" +
               std::string(py::repr(ToPy(l.getSelectedLangs()))) + ">";
      });

  py::class_<CSRXStore>(m, "SrxStore")
      .def(py::init<>())
      .def_static("load", &LoadSrx, py::arg("path"))
      .def_static("from_bytes", [](const py::bytes& data) {
        const std::string bytes = data;
        CSRXStore store;
        try {
          if (store.LoadFromMemory(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()), u"(memory)"))
            return store;
        } catch (const CSRXStore::CLoadError& e) {
          Raise(Status::Malformed(e.what()));
        }
        Raise(Status::Malformed("not SRX rules that parse"));
      })
      .def("to_bytes", [](const CSRXStore& s) { return py::bytes(s.ToSRX()); })
      .def_property("cascade", &CSRXStore::IsCascade, &CSRXStore::SetCascade)
      .def("__len__", [](const CSRXStore& s) { return s.GetRulesLangMap().size(); })
      .def(py::self == py::self)
      .def("__repr__", [](const CSRXStore& s) {
        return "<locmodel.SrxStore " + std::to_string(s.GetRulesLangMap().size()) + " language maps>";
      });
}

}  // namespace locmodel::python
