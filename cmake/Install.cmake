# Installing ptrbox: the shared library with its SONAME links, the headers
# under include/ptrbox, a CMake package (ptrbox::ptrbox), a pkg-config file,
# gdb pretty-printers where gdb auto-loads them, a Debian package through
# CPack, the exported-symbol check and the API reference target (docs).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(PTRBOX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ptrbox)
set(PTRBOX_HEADERS BinaryTree Hash List ListIter MTree ObjLstDefs ObjectLst
  ObjectLstIter OrderList PtrboxExport Stack)
list(TRANSFORM PTRBOX_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/include/)

# The prefix is only known when installing (cmake --install --prefix, CPack).
# ptrbox.pc and the gdb auto-load directory name it, absolute and with its
# symbolic links resolved, as gdb sees the library's path.
install(CODE "get_filename_component(PTRBOX_PREFIX \"\${CMAKE_INSTALL_PREFIX}\" REALPATH)")

# Installed consumers may write <ptrbox/List> or, as existing code does, <List>.
target_include_directories(ptrbox PUBLIC
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
  $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/ptrbox>)

install(TARGETS ptrbox EXPORT ptrboxTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PTRBOX_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ptrbox)

install(EXPORT ptrboxTargets NAMESPACE ptrbox:: DESTINATION ${PTRBOX_CMAKE_DIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ptrboxConfig.cmake.in
  ${PROJECT_BINARY_DIR}/ptrboxConfig.cmake INSTALL_DESTINATION ${PTRBOX_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ptrboxConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ptrboxConfig.cmake
  ${PROJECT_BINARY_DIR}/ptrboxConfigVersion.cmake DESTINATION ${PTRBOX_CMAKE_DIR})

# ptrbox.pc is written when installing: its paths are absolute.
install(CODE "
  set(PC_PREFIX \"\${PTRBOX_PREFIX}\")
  set(PC_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
  set(PC_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
  set(PC_VERSION \"${PROJECT_VERSION}\")
  configure_file(\"${CMAKE_CURRENT_LIST_DIR}/ptrbox.pc.in\"
    \"${PROJECT_BINARY_DIR}/ptrbox.pc\" @ONLY)")
install(FILES ${PROJECT_BINARY_DIR}/ptrbox.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# gdb auto-loads <data-directory>/auto-load/<real path of the library>-gdb.py;
# the path inside auto-load repeats the library's final install location.
install(FILES ${PROJECT_SOURCE_DIR}/gdb/ptrbox_printers.py
  DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/gdb/auto-load\${PTRBOX_PREFIX}/${CMAKE_INSTALL_LIBDIR}"
  RENAME libptrbox.so.${PROJECT_VERSION}-gdb.py)

# One Debian package with the library, headers, CMake and pkg-config files
# and the printers; dpkg-shlibdeps fills in the run-time dependencies.
set(CPACK_PACKAGE_NAME ptrbox)
set(CPACK_PACKAGE_VENDOR "ptrbox")
set(CPACK_PACKAGE_CONTACT "ptrbox maintainers <ptrbox@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "C++17 pointer containers: lists, hash table, stack, trees, object list")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
include(CPack)

if(PTRBOX_BUILD_TESTS)
  add_test(NAME exported_symbols
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-symbols $<TARGET_FILE:ptrbox>)
  # The ABI guard reads the classes from the debug information, so it runs
  # where abidiff (abigail-tools) is installed and the build has -g.
  find_program(PTRBOX_ABIDIFF abidiff)
  if(PTRBOX_ABIDIFF AND CMAKE_BUILD_TYPE MATCHES "^(Debug|RelWithDebInfo)$")
    add_test(NAME abi COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-abi $<TARGET_FILE:ptrbox>)
  endif()
endif()

# The API reference: docs/Doxyfile, written into this build directory.
find_program(PTRBOX_DOXYGEN doxygen)
if(PTRBOX_DOXYGEN)
  file(WRITE ${PROJECT_BINARY_DIR}/Doxyfile.docs
    "@INCLUDE = ${PROJECT_SOURCE_DIR}/docs/Doxyfile\n"
    "PROJECT_NUMBER = ${PROJECT_VERSION}\n"
    "OUTPUT_DIRECTORY = ${PROJECT_BINARY_DIR}/docs\n")
  add_custom_target(docs
    COMMAND ${PTRBOX_DOXYGEN} ${PROJECT_BINARY_DIR}/Doxyfile.docs
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    COMMENT "API reference in ${PROJECT_BINARY_DIR}/docs/html"
    VERBATIM)
endif()
