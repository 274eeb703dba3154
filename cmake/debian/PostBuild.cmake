# Run by CPack after it has built the Debian packages, to give them what
# CPack cannot, and rebuild each with dpkg-deb:
# - every package is Multi-Arch: same (CPack has no field for it);
# - a package whose control files include a dpkg trigger on ldconfig loses
#   the postinst and postrm that CPack writes for every package with a
#   shared library (they run ldconfig by hand, which the trigger replaces);
# - the runtime package's libraries lose the .comment section (compiler
#   versions), as Debian's own packaging strips it, and the package gets its
#   symbols file from CPACK_PTRBOX_SYMBOLS through dpkg-gensymbols; packaging
#   fails when a library has lost a symbol listed there, and a new symbol
#   is added with this version.
find_program(PTRBOX_DPKG_DEB dpkg-deb REQUIRED)
find_program(PTRBOX_DPKG_GENSYMBOLS dpkg-gensymbols REQUIRED)
find_program(PTRBOX_OBJCOPY objcopy REQUIRED)
find_program(PTRBOX_NM nm REQUIRED)
find_program(PTRBOX_CXXFILT c++filt REQUIRED)

# The md5sums control file of the package tree TREE, for its files now.
function(ptrbox_md5sums tree)
  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${tree}" "${tree}/*")
  list(FILTER files EXCLUDE REGEX "^DEBIAN/")
  list(SORT files)
  set(sums "")
  foreach(f IN LISTS files)
    if(NOT IS_SYMLINK "${tree}/${f}")
      file(MD5 "${tree}/${f}" sum)
      string(APPEND sums "${sum}  ${f}\n")
    endif()
  endforeach()
  file(WRITE "${tree}/DEBIAN/md5sums" "${sums}")
endfunction()

# Fails when one of LIBRARIES no longer exports a symbol that the symbols
# file LIST names for its SONAME ((c++) patterns, demangled). dpkg-gensymbols
# passes such a pattern over in silence, so the check is made here.
function(ptrbox_check_symbols list libraries)
  foreach(lib IN LISTS libraries)
    get_filename_component(name "${lib}" NAME)
    string(REGEX REPLACE "\\.[0-9]+\\.[0-9]+$" "" soname "${name}")
    execute_process(COMMAND ${PTRBOX_NM} -D --defined-only --format=just-symbols "${lib}"
      COMMAND ${PTRBOX_CXXFILT} OUTPUT_VARIABLE exported COMMAND_ERROR_IS_FATAL ANY)
    set(exported_${soname} "\n${exported}")
  endforeach()
  file(STRINGS "${list}" lines)
  set(lost "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([^ *#][^ ]*) ")
      set(soname "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^ \\(c\\+\\+\\)\"(.*)@Base\" ")
      string(FIND "${exported_${soname}}" "\n${CMAKE_MATCH_1}\n" at)
      if(at EQUAL -1)
        string(APPEND lost "  ${soname}: ${CMAKE_MATCH_1}\n")
      endif()
    endif()
  endforeach()
  if(lost)
    message(FATAL_ERROR "symbols listed in ${list} and no longer exported:\n${lost}")
  endif()
endfunction()

foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND ${PTRBOX_DPKG_DEB} --raw-extract "${deb}" "${tree}"
    COMMAND_ERROR_IS_FATAL ANY)
  file(READ "${tree}/DEBIAN/control" control)
  if(NOT control MATCHES "Multi-Arch:")
    string(REGEX REPLACE "(Architecture: [^\n]*\n)" "\\1Multi-Arch: same\n" control "${control}")
    file(WRITE "${tree}/DEBIAN/control" "${control}")
  endif()
  if(EXISTS "${tree}/DEBIAN/triggers")
    file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
  endif()
  if(control MATCHES "\nPackage: ${CPACK_PTRBOX_RUNTIME_PACKAGE}\n")
    file(GLOB libraries "${tree}/usr/lib/*/*.so.*.*" "${tree}/usr/lib/*.so.*.*")
    foreach(lib IN LISTS libraries)
      execute_process(COMMAND ${PTRBOX_OBJCOPY} --remove-section=.comment "${lib}"
        COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    ptrbox_md5sums("${tree}")
    ptrbox_check_symbols("${CPACK_PTRBOX_SYMBOLS}" "${libraries}")
    execute_process(COMMAND ${PTRBOX_DPKG_GENSYMBOLS} -q
      -p${CPACK_PTRBOX_RUNTIME_PACKAGE} -v${CPACK_PTRBOX_VERSION}
      -I${CPACK_PTRBOX_SYMBOLS} -P${tree} -O${tree}/DEBIAN/symbols
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
  execute_process(COMMAND ${PTRBOX_DPKG_DEB} --root-owner-group --build "${tree}" "${deb}"
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${tree}")
endforeach()
