# Run by CPack after it has built the Debian packages: a package whose
# control files include a dpkg trigger on ldconfig loses the postinst and
# postrm that CPack writes for every package with a shared library (they run
# ldconfig by hand, which the trigger replaces). dpkg-deb rebuilds it.
find_program(PTRBOX_DPKG_DEB dpkg-deb REQUIRED)
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  set(tree "${deb}.tree")
  file(REMOVE_RECURSE "${tree}")
  execute_process(COMMAND ${PTRBOX_DPKG_DEB} --raw-extract "${deb}" "${tree}"
    COMMAND_ERROR_IS_FATAL ANY)
  if(EXISTS "${tree}/DEBIAN/triggers")
    file(REMOVE "${tree}/DEBIAN/postinst" "${tree}/DEBIAN/postrm")
    execute_process(COMMAND ${PTRBOX_DPKG_DEB} --root-owner-group --build "${tree}" "${deb}"
      OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
  file(REMOVE_RECURSE "${tree}")
endforeach()
