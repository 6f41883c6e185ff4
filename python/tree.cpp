#include <unordered_map>
#include <vector>

#include "binding.h"

namespace locmodel::python {
namespace {

// Every live handle by the address of its object: how the same item gives
// the same Python object, as long as one exists.
std::unordered_map<const void*, Handle*>& Live() {
  static auto* live = new std::unordered_map<const void*, Handle*>;
  return *live;
}

py::object fileError, dataError;

template <typename Ref, typename Object>
py::object WrapObject(Object* object, const std::shared_ptr<Tree>& tree) {
  if (!object) return py::none();
  const auto found = Live().find(object);
  if (found != Live().end())
    return py::cast(static_cast<Ref*>(found->second), py::return_value_policy::reference);
  return py::cast(std::make_unique<Ref>(object, tree));
}

bool InSubtree(const CResItem* item, const CResItem* top) {
  for (; item; item = item->GetParent())
    if (item == top) return true;
  return false;
}

}  // namespace

py::str ToPy(const std::u16string& text) {
  int byteorder = -1;  // little-endian, the machine's order
  PyObject* str = PyUnicode_DecodeUTF16(reinterpret_cast<const char*>(text.data()),
                                        static_cast<Py_ssize_t>(text.size() * 2), "surrogatepass", &byteorder);
  if (!str) throw py::error_already_set();
  return py::reinterpret_steal<py::str>(str);
}

std::u16string ToU16(py::handle text) {
  if (!PyUnicode_Check(text.ptr())) throw py::type_error("expected str, not " + std::string(py::str(text.get_type().attr("__name__"))));
  PyObject* bytes = PyUnicode_AsEncodedString(text.ptr(), "utf-16-le", "surrogatepass");
  if (!bytes) throw py::error_already_set();
  const auto owned = py::reinterpret_steal<py::bytes>(bytes);
  return std::u16string(reinterpret_cast<const char16_t*>(PyBytes_AS_STRING(bytes)),
                        static_cast<size_t>(PyBytes_GET_SIZE(bytes)) / 2);
}

std::u16string ToPath(py::handle path) {
  return ToU16(py::module_::import("os").attr("fspath")(path));
}

void Raise(const Status& status) {
  using Kind = Status::Kind;
  const bool file = status.kind() == Kind::kCannotOpen || status.kind() == Kind::kWriteFailed;
  PyErr_SetString((file ? fileError : dataError).ptr(), status.ToString().c_str());
  throw py::error_already_set();
}

void DefineErrors(py::module_& m) {
  const py::object type = py::module_::import("builtins").attr("type");
  const auto make = [&](const char* name, py::tuple bases, const char* doc) {
    py::dict attrs;
    attrs["__module__"] = "locmodel";
    attrs["__doc__"] = doc;
    py::object cls = type(name, bases, attrs);
    m.attr(name) = cls;
    return cls;
  };
  const py::object error = make("Error", py::make_tuple(py::handle(PyExc_Exception)),
                                "Base of the errors the library reports.");
  fileError = make("FileError", py::make_tuple(error, py::handle(PyExc_OSError)),
                   "A file could not be opened, read, created or written.");
  dataError = make("DataError", py::make_tuple(error, py::handle(PyExc_ValueError)),
                   "Malformed data, a guard's refusal or a database's errors.");
  // The module keeps the classes alive; these references are only shortcuts.
  fileError.inc_ref();
  dataError.inc_ref();
}

std::shared_ptr<Tree> Tree::Own(std::unique_ptr<CResItem> item) {
  auto tree = std::make_shared<Tree>();
  tree->item = std::move(item);
  return tree;
}

std::shared_ptr<Tree> Tree::Own(std::unique_ptr<CTransItem> trans) {
  auto tree = std::make_shared<Tree>();
  tree->trans = std::move(trans);
  return tree;
}

void Tree::Close() {
  for (Handle* handle = handles; handle; handle = handle->next_) {
    if (!handle->alive_) continue;
    handle->alive_ = false;
    Live().erase(handle->object_);
  }
  item.reset();
  trans.reset();
}

void Tree::Link(Handle* handle) {
  handle->prev_ = nullptr;
  handle->next_ = handles;
  if (handles) handles->prev_ = handle;
  handles = handle;
}

void Tree::Unlink(Handle* handle) {
  (handle->prev_ ? handle->prev_->next_ : handles) = handle->next_;
  if (handle->next_) handle->next_->prev_ = handle->prev_;
}

Handle::Handle(const void* object, std::shared_ptr<Tree> tree) : object_(object), tree_(std::move(tree)) {
  tree_->Link(this);
  Live()[object_] = this;
}

Handle::~Handle() {
  if (alive_) Live().erase(object_);
  tree_->Unlink(this);
}

void Handle::Check() const {
  if (alive_) return;
  PyErr_SetString(PyExc_ReferenceError, "the object was freed: its tree was closed");
  throw py::error_already_set();
}

py::object Wrap(CResItem* item, const std::shared_ptr<Tree>& tree) { return WrapObject<ItemRef>(item, tree); }
py::object Wrap(CTransItem* trans, const std::shared_ptr<Tree>& tree) { return WrapObject<TransRef>(trans, tree); }

void MoveHandles(Tree& from, const std::shared_ptr<Tree>& to, const CResItem* top, const CTransItem* trans) {
  std::vector<Handle*> moving;
  for (Handle* handle = from.handles; handle; handle = handle->next_)
    if (handle->alive_ && (handle->object_ == trans || (top && InSubtree(handle->Anchor(), top))))
      moving.push_back(handle);
  for (Handle* handle : moving) {
    from.Unlink(handle);
    to->Link(handle);
    handle->tree_ = to;  // may free `from` when this was its last handle
  }
}

std::shared_ptr<Tree> Detach(Tree& from, CResItem* child) {
  auto tree = Tree::Own(std::unique_ptr<CResItem>(child));
  MoveHandles(from, tree, child, nullptr);
  return tree;
}

std::shared_ptr<Tree> Detach(Tree& from, CTransItem* trans) {
  auto tree = Tree::Own(std::unique_ptr<CTransItem>(trans));
  MoveHandles(from, tree, nullptr, trans);
  return tree;
}

}  // namespace locmodel::python
