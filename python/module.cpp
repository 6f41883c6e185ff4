// The extension module behind the `locmodel` package.
#include "binding.h"

PYBIND11_MODULE(_locmodel, m) {
  namespace python = locmodel::python;
  m.doc() = "Localization projects: item trees, configuration, languages and segmentation.";
  python::DefineErrors(m);
  python::DefineValues(m);
  python::DefineItems(m);
  python::DefineServices(m);
}
