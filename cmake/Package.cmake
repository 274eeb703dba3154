# The Debian packages, made by `cpack -G DEB` in a build directory configured
# with CMAKE_INSTALL_PREFIX=/usr:
#   libptrbox1         the Runtime component: libptrbox.so.1 and its SONAME
#                      link, stripped; symbols and shlibs files and an
#                      ldconfig trigger
#   libptrbox1-dbgsym  the Debug component: the library's debug information
#                      under /usr/lib/debug/.build-id, where gdb looks for it
#   libptrbox-dev      the Development component: headers, libptrbox.so,
#                      the CMake package, ptrbox.pc, the gdb printers and
#                      the LLDB formatters
# All three are Multi-Arch: same (cmake/debian/PostBuild.cmake sets it): every
# file is either under the multiarch libdir or the same on every
# architecture. docs/PACKAGING.md explains the lintian tags that remain.
# Each carries /usr/share/doc/<package>/copyright (cmake/debian/copyright,
# the machine-readable form of LICENSE) and changelog.gz (cmake/debian/
# changelog, whose top entry names this version).
#
# Every library installed with ptrbox_install_library (cmake/Install.cmake)
# joins libptrbox1, its shlibs file and libptrbox1-dbgsym: a second runtime
# library such as the checked build needs nothing more here.

set(PTRBOX_DEB_RUNTIME libptrbox${PROJECT_VERSION_MAJOR})
set(PTRBOX_DEB_DEV libptrbox-dev)

# The packaged libraries are built with Debian's hardening flags (fortified
# functions, stack protector, read-only relocations bound at load time),
# as dpkg-buildflags gives them, on top of the build type's. On by default
# for the prefix /usr where dpkg-buildflags exists, i.e. a packaging build.
find_program(PTRBOX_DPKG_BUILDFLAGS dpkg-buildflags)
if(PTRBOX_DPKG_BUILDFLAGS AND CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(hardening ON)
else()
  set(hardening OFF)
endif()
option(PTRBOX_DEB_BUILDFLAGS
  "Build the libraries with Debian's hardening flags (dpkg-buildflags)" ${hardening})
if(PTRBOX_DEB_BUILDFLAGS)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
      ${PTRBOX_DPKG_BUILDFLAGS} --get ${kind} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(PTRBOX_DEB_${kind} UNIX_COMMAND "${flags}")
  endforeach()
  get_property(libraries GLOBAL PROPERTY PTRBOX_RUNTIME_LIBRARIES)
  foreach(target IN LISTS libraries)
    target_compile_options(${target} PRIVATE ${PTRBOX_DEB_CPPFLAGS} ${PTRBOX_DEB_CXXFLAGS})
    target_link_options(${target} PRIVATE ${PTRBOX_DEB_LDFLAGS})
  endforeach()
endif()

# changelog.gz as dpkg tools write it: maximal compression, no name or time.
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/debian)
execute_process(COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/debian/changelog
  OUTPUT_FILE ${PROJECT_BINARY_DIR}/debian/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_LIST_DIR}/debian/changelog)
# Only packages install these (a plain `cmake --install` leaves them out).
set(PTRBOX_DEB_COMPONENTS Runtime Development Debug)
set(PTRBOX_DEB_PACKAGES ${PTRBOX_DEB_RUNTIME} ${PTRBOX_DEB_DEV} ${PTRBOX_DEB_RUNTIME}-dbgsym)
foreach(component package IN ZIP_LISTS PTRBOX_DEB_COMPONENTS PTRBOX_DEB_PACKAGES)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/debian/copyright
    ${PROJECT_BINARY_DIR}/debian/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
    COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()

set(CPACK_PACKAGE_VENDOR "the ptrbox authors")
set(CPACK_PACKAGE_CONTACT "ptrbox maintainers <ptrbox@example.org>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
# Each package's description below starts with its own summary line; CPack
# would otherwise put the project's summary in front of every one of them.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "")
set(CPACK_GENERATOR DEB)
set(CPACK_COMPONENTS_ALL ${PTRBOX_DEB_COMPONENTS})
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE ptrbox)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# Until these packages, 1.0.0 came as the single package ptrbox, whose files
# they now hold.
set(PTRBOX_DEB_REPLACED ptrbox)

set(PTRBOX_DEB_ABOUT [[
ptrbox keeps caller-owned objects by address in a circular doubly linked
list, a key-ordered list, a chained hash table, a linked stack, an
unbalanced binary search tree, a multi-way tree and a head-and-tail object
list. Keyed containers compare and hash through virtual functions that a
derived class overrides. Allocation failures reach the caller as
std::bad_alloc and leave the container as it was.]])

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${PTRBOX_DEB_RUNTIME})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONFLICTS ${PTRBOX_DEB_REPLACED})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_REPLACES ${PTRBOX_DEB_REPLACED})
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "C++17 pointer containers (shared library)
${PTRBOX_DEB_ABOUT}

This package contains the shared library, and its checked build
libptrbox-checked, which stops a program at a misuse with a one-line report.")
# The shlibs file names the runtime package, and this version as the least,
# for each library: programs built against 1.y run with any later 1.x, as
# the ABI only grows. (CPack's own shlibs would also scan the debug files.)
get_property(PTRBOX_RUNTIME_LIBRARIES GLOBAL PROPERTY PTRBOX_RUNTIME_LIBRARIES)
set_property(GLOBAL PROPERTY PTRBOX_PACKAGED ON)
set(PTRBOX_SHLIBS "")
foreach(target IN LISTS PTRBOX_RUNTIME_LIBRARIES)
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  get_target_property(soversion ${target} SOVERSION)
  string(APPEND PTRBOX_SHLIBS
    "lib${name} ${soversion} ${PTRBOX_DEB_RUNTIME} (>= ${PROJECT_VERSION})\n")
endforeach()
file(WRITE ${PROJECT_BINARY_DIR}/debian/shlibs "${PTRBOX_SHLIBS}")
# ldconfig runs from the dpkg trigger; cmake/debian/PostBuild.cmake takes
# out the postinst and postrm with which CPack would run it by hand.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/debian/triggers
  ${PROJECT_BINARY_DIR}/debian/shlibs)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/debian/PostBuild.cmake)
# Read by PostBuild.cmake: the runtime package's symbols file is made from
# cmake/debian/libptrbox1.symbols when packaging, and fails on a lost symbol.
set(CPACK_PTRBOX_RUNTIME_PACKAGE ${PTRBOX_DEB_RUNTIME})
set(CPACK_PTRBOX_SYMBOLS ${CMAKE_CURRENT_LIST_DIR}/debian/${PTRBOX_DEB_RUNTIME}.symbols)
set(CPACK_PTRBOX_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

# ptrbox_debug_info(TARGET): the Debug component gets TARGET's debug
# information as /usr/lib/debug/.build-id/xx/yyyy.debug, named by the build
# id that the stripped library keeps. Only packaging installs it.
function(ptrbox_debug_info target)
  install(CODE "
    set(PTRBOX_DEBUG_INPUT \"$<TARGET_FILE:${target}>\")
    set(PTRBOX_OBJCOPY \"${CMAKE_OBJCOPY}\")
    set(PTRBOX_READELF \"${CMAKE_READELF}\")
    include(\"${CMAKE_CURRENT_FUNCTION_LIST_DIR}/debian/InstallDebugInfo.cmake\")"
    COMPONENT Debug EXCLUDE_FROM_ALL)
endfunction()
foreach(target IN LISTS PTRBOX_RUNTIME_LIBRARIES)
  ptrbox_debug_info(${target})
endforeach()

set(CPACK_DEBIAN_DEBUG_PACKAGE_NAME ${PTRBOX_DEB_RUNTIME}-dbgsym)
set(CPACK_DEBIAN_DEBUG_PACKAGE_SECTION debug)
set(CPACK_DEBIAN_DEBUG_PACKAGE_SHLIBDEPS OFF)
set(CPACK_COMPONENT_DEBUG_DEPENDS Runtime)
set(CPACK_DEBIAN_DEBUG_DESCRIPTION "C++17 pointer containers (debug information)
${PTRBOX_DEB_ABOUT}

This package contains the debug information of the shared library, found by
gdb through the library's build id. The gdb pretty-printers of
${PTRBOX_DEB_DEV} read the containers' fields from it.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME ${PTRBOX_DEB_DEV})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_CONFLICTS ${PTRBOX_DEB_REPLACED})
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_REPLACES ${PTRBOX_DEB_REPLACED})
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS Runtime)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "C++17 pointer containers (development files)
${PTRBOX_DEB_ABOUT}

This package contains the headers, the CMake package (find_package(ptrbox)
gives the targets ptrbox::ptrbox and ptrbox::checked), the pkg-config files
ptrbox.pc and ptrbox-checked.pc, the gdb
pretty-printers, which gdb loads by itself for the installed library, and
the LLDB formatters (/usr/share/ptrbox/lldb/ptrbox_lldb.py); they read the
library's debug information from libptrbox1-dbgsym.")

include(CPack)
