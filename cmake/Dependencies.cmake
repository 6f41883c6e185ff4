# Reads cmake/dependencies.txt so that adding a dependency is a one-line change
# there; every module becomes part of the interface target locmodel_deps.
find_package(PkgConfig REQUIRED)
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/dependencies.txt dep_lines REGEX "^[^#]")
set(LOCMODEL_PC_MODULES "")
foreach(line IN LISTS dep_lines)
  string(REGEX REPLACE "[ \t]+" ";" fields "${line}")
  list(GET fields 1 module)
  list(APPEND LOCMODEL_PC_MODULES ${module})
endforeach()
list(REMOVE_DUPLICATES LOCMODEL_PC_MODULES)
pkg_check_modules(LOCMODEL_DEPS REQUIRED IMPORTED_TARGET ${LOCMODEL_PC_MODULES})
string(REPLACE ";" " " LOCMODEL_PC_REQUIRES "${LOCMODEL_PC_MODULES}")
