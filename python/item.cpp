// Item and Translation: the handles' Python faces. The collection protocols
// (children, translations, props, cfg, config) are Python views in
// __init__.py over the few primitive methods defined here.
#include <algorithm>
#include <vector>

#include "binding.h"
#include "locmodel/items/item_helper.h"
#include "locmodel/items/project_file.h"
#include "locmodel/props/accessor.h"
#include "locmodel/props/prop_catalog.h"
#include "locmodel/storage/project_database.h"

namespace locmodel::python {
namespace {

// Per-format families answer under their undecorated names, as the
// command-line tool lists them.
constexpr int kFormat = CCustomAccessor::UNDECORATED_FORMAT;

py::bytes Bytes(const unsigned char* data, size_t size) {
  return py::bytes(reinterpret_cast<const char*>(data), size);
}

std::string_view BytesView(const py::bytes& data) {
  char* buffer = nullptr;
  Py_ssize_t size = 0;
  if (PyBytes_AsStringAndSize(data.ptr(), &buffer, &size) != 0) throw py::error_already_set();
  return {buffer, static_cast<size_t>(size)};
}

const unsigned char* Data(std::string_view bytes) { return reinterpret_cast<const unsigned char*>(bytes.data()); }

size_t Position(const CResItem& parent, Py_ssize_t index, bool inserting) {
  const auto size = static_cast<Py_ssize_t>(parent.GetResItems().size());
  if (index < 0) index += size;
  if (inserting) return static_cast<size_t>(std::clamp<Py_ssize_t>(index, 0, size));
  if (index < 0 || index >= size) throw py::index_error("child index out of range");
  return static_cast<size_t>(index);
}

// Property containers, generic over the owner: an item has two, a
// translation one.
CPropContainer& Container(py::handle owner, bool cfg) {
  if (py::isinstance<TransRef>(owner)) return owner.cast<TransRef&>().get();
  CResItem& item = owner.cast<ItemRef&>().get();
  return cfg ? item.GetCfgProps() : item;
}

const CProp& Stored(const CPropContainer& props, const CPropName& name) {
  const CProp* value = props.GetPropW(name);
  if (!value) throw py::key_error(py::repr(PropNameToPy(name)));
  return *value;
}

// The declared configuration property of a NAME, as the config command takes it.
const CfgPropEntry& Declared(const py::str& text) {
  const CPropName name = PropNameFromPy(text);
  for (const CfgPropEntry* entry : CfgCatalog::Entries())
    if (entry->name(kFormat) == name) return *entry;
  throw py::key_error("unknown configuration property: " + std::string(text));
}

const char* Source(const CResItem& item, const CfgPropEntry& entry) {
  const CPropName name = entry.name(kFormat);
  for (const CResItem* at = &item; at; at = at->GetParent())
    if (const CProp* stored = at->GetCfgProps().GetPropW(name))
      return &stored->GetClass() != entry.valueClass ? "invalid" : at == &item ? "own" : "inherited";
  return "default";
}

// Pre-order over an item's subtree, yielding (item, depth). It holds the
// Python objects of the current item's ancestors, so that a subtree removed
// while it walks stays alive, and a closed tree raises.
class Walker {
 public:
  explicit Walker(py::object root) : pending_(std::move(root)) {}

  py::tuple Next() {
    if (pending_) {
      py::object item = std::move(pending_);
      pending_ = py::object();
      Push(std::move(item));
      return Pair(0);
    }
    while (!frames_.empty()) {
      Frame& frame = frames_.back();
      const auto& children = frame.ref->get().GetResItems();
      if (frame.next >= children.size()) {
        frames_.pop_back();
        continue;
      }
      Push(Wrap(children[frame.next++], frame.ref->tree()));
      return Pair(frames_.size() - 1);
    }
    throw py::stop_iteration();
  }

 private:
  // The handle is kept beside its object: casting back on every step costs
  // as much as the step.
  struct Frame {
    py::object item;
    const ItemRef* ref;
    size_t next;
  };

  void Push(py::object item) {
    const ItemRef* ref = &item.cast<const ItemRef&>();
    frames_.push_back({std::move(item), ref, 0});
  }

  // The pair of the item just pushed and its depth, built without
  // pybind11's generic tuple maker.
  py::tuple Pair(size_t depth) const {
    PyObject* pair = PyTuple_Pack(2, frames_.back().item.ptr(), py::int_(depth).ptr());
    if (!pair) throw py::error_already_set();
    return py::reinterpret_steal<py::tuple>(pair);
  }
  py::object pending_;
  std::vector<Frame> frames_;
};

py::object Load(py::handle path, bool sequential) {
  const std::u16string file = ToPath(path);
  std::unique_ptr<CResItem> root;
  Status status;
  {
    py::gil_scoped_release unlocked;
    status = LoadAnyProject(file, root, sequential ? ProjectReader::Sequential : ProjectReader::Tree);
  }
  if (!status.ok()) Raise(status);
  if (!root) return py::none();
  const auto tree = Tree::Own(std::move(root));
  return Wrap(tree->item.get(), tree);
}

void Save(const ItemRef& root, py::handle path, bool gzip, unsigned level) {
  const std::u16string file = ToPath(path);
  CResItem& item = root.get();
  Status status;
  {
    py::gil_scoped_release unlocked;
    status = SaveProject(item, file, SaveOptions{.gzip = gzip, .level = level});
  }
  if (!status.ok()) Raise(status);
}

void DefineItem(py::module_& m) {
  py::class_<ItemRef, std::unique_ptr<ItemRef>> cls(m, "Item");
  cls.def(py::init([](int type, const py::str& resId, const py::str& comment) {
            const auto tree = Tree::Own(std::make_unique<CResItem>());
            CResItem& item = *tree->item;
            item.SetType(type);
            item.SetResId(ToU16(resId));
            item.SetComment(ToU16(comment));
            return std::make_unique<ItemRef>(&item, tree);
          }),
          py::kw_only(), py::arg("type") = 0, py::arg("res_id") = "@", py::arg("comment") = "")
      .def_property("type", [](const ItemRef& r) { return r.get().GetType(); },
                    [](ItemRef& r, int v) { r.get().SetType(v); })
      .def_property("res_id", [](const ItemRef& r) { return ToPy(r.get().GetResId()); },
                    [](ItemRef& r, const py::str& v) { r.get().SetResId(ToU16(v)); })
      .def_property("comment", [](const ItemRef& r) { return ToPy(r.get().GetComment()); },
                    [](ItemRef& r, const py::str& v) { r.get().SetComment(ToU16(v)); })
      .def_property("tab_num", [](const ItemRef& r) { return r.get().GetTabNum(); },
                    [](ItemRef& r, int v) { r.get().SetTabNum(v); })
      .def_property("state", [](const ItemRef& r) { return r.get().GetState(); },
                    [](ItemRef& r, int v) { r.get().SetState(v); })
      .def_property("read_only", [](const ItemRef& r) { return r.get().IsReadOnly(); },
                    [](ItemRef& r, bool v) { r.get().SetReadOnly(v); })
      .def_property("locked", [](const ItemRef& r) { return r.get().IsItemLocked(); },
                    [](ItemRef& r, bool v) { r.get().SetItemLocked(v); })
      .def_property("data", [](const ItemRef& r) { return Bytes(r.get().GetData(), r.get().GetDataSize()); },
                    [](ItemRef& r, const py::bytes& v) {
                      const std::string_view bytes = BytesView(v);
                      r.get().SetData(Data(bytes), static_cast<unsigned>(bytes.size()));
                    })
      .def_property_readonly("parent", [](const ItemRef& r) { return Wrap(r.get().GetParent(), r.tree()); })
      .def_property_readonly("path", [](const ItemRef& r) { return locmodel::PositionPath(r.get()); })
      .def("walk", [](py::object self) { self.cast<const ItemRef&>().get(); return Walker(self); })
      .def("close", [](ItemRef& r) {
        if (r.get().GetParent()) throw py::value_error("only an item without a parent can be closed");
        const auto keep = r.tree();
        keep->Close();
      })
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__", [](ItemRef& r, py::args) {
        if (r.alive() && !r.get().GetParent()) std::shared_ptr<Tree>(r.tree())->Close();
      })
      .def("__repr__", [](const ItemRef& r) -> std::string {
        if (!r.alive()) return "<locmodel.Item (freed)>";
        const CResItem& item = r.get();
        return "<locmodel.Item " + locmodel::PositionPath(item) + " type=" + std::to_string(item.GetType()) +
               " res_id=" + std::string(py::repr(ToPy(item.GetResId()))) + ">";
      })
      // Children.
      .def("_child_count", [](const ItemRef& r) { return r.get().GetResItems().size(); })
      .def("_child", [](const ItemRef& r, Py_ssize_t i) {
        const CResItem& item = r.get();
        return Wrap(item.GetResItems()[Position(item, i, false)], r.tree());
      })
      .def("_insert", [](ItemRef& r, Py_ssize_t i, ItemRef& child) {
        CResItem& parent = r.get();
        CResItem& item = child.get();
        if (item.GetParent()) throw py::value_error("the item already has a parent: remove it from there first");
        for (const CResItem* at = &parent; at; at = at->GetParent())
          if (at == &item) throw py::value_error("an item cannot become a child of its own subtree");
        const auto from = child.tree();  // the child's own tree, freed once its handles moved
        parent.InsertResItem(Position(parent, i, true), from->item.release());
        MoveHandles(*from, r.tree(), &item, nullptr);
      })
      .def("_pop", [](ItemRef& r, Py_ssize_t i) {
        CResItem& parent = r.get();
        CResItem* child = parent.RemoveItem(parent.GetResItems()[Position(parent, i, false)]);
        return Wrap(child, Detach(*r.tree(), child));
      })
      // Translations.
      .def("_langs", [](const ItemRef& r) {
        py::list langs;
        for (const auto& [lang, trans] : r.get().GetTransMap()) langs.append(lang);
        return langs;
      })
      .def("_trans_items", [](const ItemRef& r) {
        py::list items;
        for (const auto& [lang, trans] : r.get().GetTransMap()) items.append(py::make_tuple(lang, Wrap(trans, r.tree())));
        return items;
      })
      .def("_trans_values", [](const ItemRef& r) {
        py::list values;
        for (const auto& [lang, trans] : r.get().GetTransMap()) values.append(Wrap(trans, r.tree()));
        return values;
      })
      .def("_trans", [](const ItemRef& r, int lang) { return Wrap(r.get().GetTranslation(lang), r.tree()); })
      .def("_pop_trans", [](ItemRef& r, int lang) -> py::object {
        CTransItem* trans = r.get().RemoveTransItem(lang);
        if (!trans) return py::none();
        return Wrap(trans, Detach(*r.tree(), trans));
      })
      .def("_set_trans", [](ItemRef& r, int lang, py::handle value) {
        CResItem& item = r.get();
        if (py::isinstance<py::str>(value)) {
          if (CTransItem* trans = item.GetTranslation(lang)) return trans->SetStr(ToU16(value));
          auto trans = std::make_unique<CTransItem>(lang);
          trans->SetStr(ToU16(value));
          return item.AddTransItem(trans.release());
        }
        TransRef& added = value.cast<TransRef&>();
        CTransItem& trans = added.get();
        if (&trans == item.GetTranslation(lang)) return;
        if (trans.GetParent()) throw py::value_error("the translation belongs to an item: remove it from there first");
        if (CTransItem* old = item.RemoveTransItem(lang)) Detach(*r.tree(), old);
        const auto from = added.tree();
        trans.SetLang(lang);
        item.AddTransItem(from->trans.release());
        MoveHandles(*from, r.tree(), nullptr, &trans);
      })
      // Configuration through the catalog.
      .def("_config_get", [](const ItemRef& r, const py::str& name) {
        return PropToPy(Declared(name).get(r.get(), true, kFormat));
      })
      .def("_config_source", [](const ItemRef& r, const py::str& name) { return Source(r.get(), Declared(name)); })
      .def("_config_set", [](ItemRef& r, const py::str& name, py::handle value) {
        const CfgPropEntry& entry = Declared(name);
        entry.set(r.get(), *PropFromPy(value, entry.valueClass), kFormat);
      })
      .def("_config_reset", [](ItemRef& r, const py::str& name) { Declared(name).reset(r.get(), kFormat); });

  py::class_<Walker>(m, "_Walker")
      .def("__iter__", [](py::object self) { return self; })
      .def("__next__", &Walker::Next);
}

void DefineTranslation(py::module_& m) {
  py::class_<TransRef, std::unique_ptr<TransRef>>(m, "Translation")
      .def(py::init([](int lang, const py::str& text) {
             auto trans = std::make_unique<CTransItem>(lang);
             if (py::len(text)) trans->SetStr(ToU16(text));
             const auto tree = Tree::Own(std::move(trans));
             return std::make_unique<TransRef>(tree->trans.get(), tree);
           }),
           py::arg("lang"), py::arg("text") = "")
      .def_property("lang", [](const TransRef& r) { return r.get().GetLang(); },
                    [](TransRef& r, int lang) {
                      CTransItem& trans = r.get();
                      CResItem* item = trans.GetParent();
                      if (!item) return trans.SetLang(lang);
                      if (lang == trans.GetLang()) return;
                      if (item->HasTranslation(lang)) throw py::value_error("the item has a translation into " + std::to_string(lang));
                      item->ChangeTransLang(&trans, lang);
                    })
      .def_property("status", [](const TransRef& r) { return r.get().GetStatus(); },
                    [](TransRef& r, int v) { r.get().SetStatus(v); })
      .def_property("key", [](const TransRef& r) { return r.get().GetKey(); },
                    [](TransRef& r, int v) { r.get().SetKey(v); })
      .def_property("text", [](const TransRef& r) { return ToPy(r.get().GetStr()); },
                    [](TransRef& r, const py::str& v) { r.get().SetStr(ToU16(v)); })
      .def_property("data", [](const TransRef& r) { return Bytes(r.get().GetData(), r.get().GetDataSize()); },
                    [](TransRef& r, const py::bytes& v) {
                      const std::string_view bytes = BytesView(v);
                      r.get().SetData(Data(bytes), static_cast<unsigned>(bytes.size()));
                    })
      .def_property_readonly("item", [](const TransRef& r) { return Wrap(r.get().GetParent(), r.tree()); })
      .def("__repr__", [](const TransRef& r) -> std::string {
        if (!r.alive()) return "<locmodel.Translation (freed)>";
        return "<locmodel.Translation lang=" + std::to_string(r.get().GetLang()) + " " +
               std::string(py::repr(ToPy(r.get().GetStr()))) + ">";
      });
}

// The primitives of the property views, for items and translations alike.
void DefineProps(py::module_& m) {
  m.def("_prop_names", [](py::handle owner, bool cfg) {
    py::list names;
    for (const auto& [name, value] : Container(owner, cfg).GetPropCont()) names.append(PropNameToPy(name));
    return names;
  });
  m.def("_prop_get", [](py::handle owner, bool cfg, py::handle key) {
    return PropToPy(Stored(Container(owner, cfg), PropNameFromPy(key)));
  });
  m.def("_prop_class", [](py::handle owner, bool cfg, py::handle key) {
    return std::string(Stored(Container(owner, cfg), PropNameFromPy(key)).GetClass().GetTypeName());
  });
  m.def("_prop_set", [](py::handle owner, bool cfg, py::handle key, py::handle value, py::object typeName) {
    CPropContainer& props = Container(owner, cfg);
    const CPropName name = PropNameFromPy(key);
    const CPropClass* cls = nullptr;
    if (!typeName.is_none()) cls = PropClassByName(typeName.cast<std::string>());
    else if (const CProp* stored = props.GetPropW(name)) cls = &stored->GetClass();
    props.SetPropW(name, PropFromPy(value, cls).release());
  });
  m.def("_prop_del", [](py::handle owner, bool cfg, py::handle key) {
    CPropContainer& props = Container(owner, cfg);
    const CPropName name = PropNameFromPy(key);
    std::unique_ptr<CProp> removed(props.RemovePropW(name));
    if (!removed) throw py::key_error(py::repr(PropNameToPy(name)));
  });
  m.def("_config_names", [] {
    py::list names;
    for (const CfgPropEntry* entry : CfgCatalog::Entries()) {
      const CPropName name = entry->name(kFormat);
      names.append(name.IsStr() ? PropNameToPy(name) : py::str("#" + std::to_string(name.GetInt())));
    }
    return names;
  });
}

}  // namespace

void DefineItems(py::module_& m) {
  DefineItem(m);
  DefineTranslation(m);
  DefineProps(m);
  m.def("load", &Load, py::arg("path"), py::arg("sequential") = false);
  m.def("save", &Save, py::arg("root"), py::arg("path"), py::arg("gzip") = false, py::arg("level") = 2);
}

}  // namespace locmodel::python
