// What the parts of the Python module share: text conversion, the error
// classes, and the handles through which Python reaches items and
// translations without ever holding a dangling pointer.
//
// Ownership: every item or translation Python can reach belongs to a Tree,
// the owner of one top object (a loaded root, a new or detached item, a
// detached translation). A handle (the C++ side of an Item or Translation
// object) holds its Tree alive, so a child keeps its root alive. Moving a
// subtree between trees moves the handles inside it to the new owner; closing
// a tree frees it at once and turns its handles dead, so that using one
// raises instead of reading freed memory. All of it runs under the GIL.
#pragma once

#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "locmodel/items/res_item.h"
#include "locmodel/util/status.h"

namespace locmodel::python {

namespace py = pybind11;

// UTF-16 text to and from Python, lossless both ways: a lone surrogate
// stays one (Python keeps it in its str as well).
py::str ToPy(const std::u16string& text);
std::u16string ToU16(py::handle text);
// A path argument: str or os.PathLike.
std::u16string ToPath(py::handle path);

// Raises the exception class of the status's kind with its one-line message.
[[noreturn]] void Raise(const Status& status);
// The exception classes, made when the module loads.
void DefineErrors(py::module_& m);

class Handle;

struct Tree {
  std::unique_ptr<CResItem> item;
  std::unique_ptr<CTransItem> trans;
  // The handles into this tree, linked through the handles themselves: a
  // walk makes a wrapper for every item it passes, so linking one must not
  // allocate.
  Handle* handles = nullptr;

  static std::shared_ptr<Tree> Own(std::unique_ptr<CResItem> item);
  static std::shared_ptr<Tree> Own(std::unique_ptr<CTransItem> trans);
  // Frees the top object now; every handle inside turns dead.
  void Close();
  void Link(Handle* handle);
  void Unlink(Handle* handle);
};

class Handle {
 public:
  Handle(const void* object, std::shared_ptr<Tree> tree);
  virtual ~Handle();
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  const std::shared_ptr<Tree>& tree() const { return tree_; }
  bool alive() const { return alive_; }
  // The item that holds the object, the object itself for an item.
  virtual const CResItem* Anchor() const = 0;

 protected:
  // Throws ReferenceError for a handle whose tree was closed.
  void Check() const;

 private:
  friend struct Tree;
  friend void MoveHandles(Tree&, const std::shared_ptr<Tree>&, const CResItem*, const CTransItem*);
  const void* object_;
  std::shared_ptr<Tree> tree_;
  Handle* prev_ = nullptr;  // the neighbours in tree_->handles
  Handle* next_ = nullptr;
  bool alive_ = true;
};

class ItemRef final : public Handle {
 public:
  ItemRef(CResItem* item, std::shared_ptr<Tree> tree) : Handle(item, std::move(tree)), item_(item) {}
  CResItem& get() const { Check(); return *item_; }
  CResItem* raw() const { return item_; }
  const CResItem* Anchor() const override { return item_; }

 private:
  CResItem* item_;
};

class TransRef final : public Handle {
 public:
  TransRef(CTransItem* trans, std::shared_ptr<Tree> tree) : Handle(trans, std::move(tree)), trans_(trans) {}
  CTransItem& get() const { Check(); return *trans_; }
  CTransItem* raw() const { return trans_; }
  const CResItem* Anchor() const override { return trans_->GetParent(); }

 private:
  CTransItem* trans_;
};

// The Python object of an object of `tree`: the one that exists, or a new one.
py::object Wrap(CResItem* item, const std::shared_ptr<Tree>& tree);
py::object Wrap(CTransItem* trans, const std::shared_ptr<Tree>& tree);

// Moves to `to` the handles of `from` whose object lies in the subtree of
// `top` (an item), or whose object is `trans`.
void MoveHandles(Tree& from, const std::shared_ptr<Tree>& to, const CResItem* top, const CTransItem* trans);
// Hands a child just removed from a tree to a tree of its own.
std::shared_ptr<Tree> Detach(Tree& from, CResItem* child);
std::shared_ptr<Tree> Detach(Tree& from, CTransItem* trans);

// Property values <-> Python values (values.cpp).
py::object PropToPy(const CProp& prop);
// A new value of `cls`, or of the class the Python value suggests when
// `cls` is null; TypeError when it does not convert.
std::unique_ptr<CProp> PropFromPy(py::handle value, const CPropClass* cls);
const CPropClass* PropClassByName(const std::string& typeName);
py::object PropNameToPy(const CPropName& name);
CPropName PropNameFromPy(py::handle key);

void DefineValues(py::module_& m);
void DefineItems(py::module_& m);
void DefineServices(py::module_& m);

}  // namespace locmodel::python
