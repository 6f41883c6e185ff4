include(CMakePackageConfigHelpers)

install(TARGETS locmodel EXPORT locmodelTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
# The tool finds the library beside its own folder wherever the prefix is
# (the build tree keeps its own run path).
file(RELATIVE_PATH bin_to_lib /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_LIBDIR})
set_target_properties(locmodel_cli_main PROPERTIES INSTALL_RPATH "$ORIGIN/${bin_to_lib}")
install(TARGETS locmodel_cli_main RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/locmodel DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

set(cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/locmodel)
install(EXPORT locmodelTargets NAMESPACE locmodel:: DESTINATION ${cmake_dir})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/locmodelConfig.cmake.in
  ${PROJECT_BINARY_DIR}/locmodelConfig.cmake INSTALL_DESTINATION ${cmake_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/locmodelConfigVersion.cmake
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/locmodelConfig.cmake
              ${PROJECT_BINARY_DIR}/locmodelConfigVersion.cmake DESTINATION ${cmake_dir})

# The .pc file finds the prefix from its own place, so the install relocates.
file(RELATIVE_PATH PC_TO_PREFIX /${CMAKE_INSTALL_LIBDIR}/pkgconfig /)
string(REGEX REPLACE "/$" "" PC_TO_PREFIX "${PC_TO_PREFIX}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/locmodel.pc.in ${PROJECT_BINARY_DIR}/locmodel.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/locmodel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# The default segmentation rules, for hosts and the tool to load.
install(FILES ${PROJECT_SOURCE_DIR}/data/segment.srx DESTINATION ${CMAKE_INSTALL_DATADIR}/locmodel)
