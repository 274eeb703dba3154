# Installing ptrbox: the shared library with its SONAME links, the headers
# under include/ptrbox, a CMake package (ptrbox::ptrbox, and ptrbox::checked
# for the checked build), a pkg-config file for each,
# gdb pretty-printers where gdb auto-loads them, the LLDB formatters under
# <datadir>/ptrbox/lldb, the Debian packages through
# CPack (cmake/Package.cmake), the exported-symbol and ABI checks and the API
# reference target (docs).
#
# Three install components, one Debian package each: Runtime (the library
# itself and its SONAME link), Development (everything a build against the
# library reads, and the gdb printers) and Debug (the library's debug
# information, installed only by packaging: cmake/Package.cmake).
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(PTRBOX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/ptrbox)
set(PTRBOX_HEADERS BinaryTree Erase Hash Keyed List ListIter MTree MTreeNodes
  ObjLstDefs ObjectLst ObjectLstIter OrderList PtrboxChecked PtrboxExport
  PtrboxIterator Stack TypedStack View)
list(TRANSFORM PTRBOX_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/include/)

# The prefix is only known when installing (cmake --install --prefix, CPack).
# ptrbox.pc and the gdb auto-load directory name it, absolute and with its
# symbolic links resolved, as gdb sees the library's path.
install(CODE "get_filename_component(PTRBOX_PREFIX \"\${CMAKE_INSTALL_PREFIX}\" REALPATH)"
  COMPONENT Development)

# Installed consumers may write <ptrbox/List> or, as existing code does, <List>.
foreach(target ptrbox ptrbox_checked)
  target_include_directories(${target} PUBLIC
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}/ptrbox>)
endforeach()

# ptrbox_install_library(TARGET): a runtime library of the package, with its
# SONAME link in Runtime, its libxxx.so link and imported target in
# Development; cmake/Package.cmake, included below, adds its debug
# information and its shlibs line, so every call comes before that.
function(ptrbox_install_library target)
  get_property(packaged GLOBAL PROPERTY PTRBOX_PACKAGED)
  if(packaged)
    message(FATAL_ERROR "ptrbox_install_library(${target}) after cmake/Package.cmake")
  endif()
  install(TARGETS ${target} EXPORT ptrboxTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    COMPONENT Runtime NAMELINK_COMPONENT Development)
  set_property(GLOBAL APPEND PROPERTY PTRBOX_RUNTIME_LIBRARIES ${target})
endfunction()
ptrbox_install_library(ptrbox)
# The checked build: the same classes, its own pkg-config file and printers.
ptrbox_install_library(ptrbox_checked)
install(FILES ${PTRBOX_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/ptrbox
  COMPONENT Development)

install(EXPORT ptrboxTargets NAMESPACE ptrbox:: DESTINATION ${PTRBOX_CMAKE_DIR}
  COMPONENT Development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ptrboxConfig.cmake.in
  ${PROJECT_BINARY_DIR}/ptrboxConfig.cmake INSTALL_DESTINATION ${PTRBOX_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ptrboxConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ptrboxConfig.cmake
  ${PROJECT_BINARY_DIR}/ptrboxConfigVersion.cmake DESTINATION ${PTRBOX_CMAKE_DIR}
  COMPONENT Development)

# ptrbox.pc and ptrbox-checked.pc are written when installing: their paths
# are absolute. The checked one also defines PTRBOX_CHECKED.
foreach(pc IN ITEMS "ptrbox;" "ptrbox-checked; -DPTRBOX_CHECKED")
  list(GET pc 0 name)
  list(GET pc 1 defines)
  install(CODE "
    set(PC_PREFIX \"\${PTRBOX_PREFIX}\")
    set(PC_LIBDIR \"${CMAKE_INSTALL_LIBDIR}\")
    set(PC_INCLUDEDIR \"${CMAKE_INSTALL_INCLUDEDIR}\")
    set(PC_VERSION \"${PROJECT_VERSION}\")
    set(PC_DESCRIPTION \"${PROJECT_DESCRIPTION}\")
    set(PC_NAME \"${name}\")
    set(PC_DEFINES \"${defines}\")
    configure_file(\"${CMAKE_CURRENT_LIST_DIR}/ptrbox.pc.in\"
      \"${PROJECT_BINARY_DIR}/${name}.pc\" @ONLY)" COMPONENT Development)
  install(FILES ${PROJECT_BINARY_DIR}/${name}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT Development)
endforeach()

# gdb auto-loads <data-directory>/auto-load/<real path of the library>-gdb.py;
# the path inside auto-load repeats the library's final install location.
# The printers belong to the development files: whoever debugs a program
# built against ptrbox has them, the runtime package stays the library alone
# (Debian's rule for a library package), and the development package pins
# the exact runtime version, whose file name the printers' name repeats.
# Beside them, the walks they share with the LLDB formatters, which gdb
# does not load by itself (it loads only files named after a library).
set(PTRBOX_GDB_DIR "${CMAKE_INSTALL_DATAROOTDIR}/gdb/auto-load\${PTRBOX_PREFIX}/${CMAKE_INSTALL_LIBDIR}")
foreach(lib libptrbox libptrbox-checked)
  install(FILES ${PROJECT_SOURCE_DIR}/gdb/ptrbox_printers.py
    DESTINATION "${PTRBOX_GDB_DIR}"
    RENAME ${lib}.so.${PROJECT_VERSION}-gdb.py COMPONENT Development)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/gdb/ptrbox_walk.py DESTINATION "${PTRBOX_GDB_DIR}"
  COMPONENT Development)

# The LLDB formatters, for `command script import` (LLDB has no auto-load
# directory), with their own copy of the shared walks.
install(FILES ${PROJECT_SOURCE_DIR}/lldb/ptrbox_lldb.py
  ${PROJECT_SOURCE_DIR}/gdb/ptrbox_walk.py
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/ptrbox/lldb COMPONENT Development)

# The Debian packages are ptrbox's own: a project that adds ptrbox as a
# subdirectory keeps its CPack settings, and its install gets the files.
if(PROJECT_IS_TOP_LEVEL)
  include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
endif()

if(PTRBOX_BUILD_TESTS)
  add_test(NAME exported_symbols
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-symbols $<TARGET_FILE:ptrbox>)
  add_test(NAME exported_symbols_checked
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-symbols $<TARGET_FILE:ptrbox_checked>)
  # The ABI guard reads the classes from the debug information, so it runs
  # where abidiff (abigail-tools) is installed and the build has -g.
  find_program(PTRBOX_ABIDIFF abidiff)
  if(PTRBOX_ABIDIFF AND CMAKE_BUILD_TYPE MATCHES "^(Debug|RelWithDebInfo)$")
    add_test(NAME abi COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-abi $<TARGET_FILE:ptrbox>)
    # The checked library has the same classes: the same baseline.
    add_test(NAME abi_checked
      COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-abi $<TARGET_FILE:ptrbox_checked>)
  endif()
endif()

# The API reference: docs/Doxyfile, written into this build directory.
find_program(PTRBOX_DOXYGEN doxygen)
if(PTRBOX_DOXYGEN AND PROJECT_IS_TOP_LEVEL)
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
