# Part of the Debug component's install (see ptrbox_debug_info in
# cmake/Package.cmake): copies the debug information of PTRBOX_DEBUG_INPUT,
# compressed, to <prefix>/lib/debug/.build-id/xx/yyyy.debug.
execute_process(COMMAND ${PTRBOX_READELF} -n ${PTRBOX_DEBUG_INPUT}
  OUTPUT_VARIABLE notes COMMAND_ERROR_IS_FATAL ANY)
if(NOT notes MATCHES "Build ID: ([0-9a-f][0-9a-f])([0-9a-f]+)")
  message(FATAL_ERROR "${PTRBOX_DEBUG_INPUT} has no build id")
endif()
set(dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/lib/debug/.build-id/${CMAKE_MATCH_1}")
set(file "${dir}/${CMAKE_MATCH_2}.debug")
message(STATUS "Installing: ${file}")
file(MAKE_DIRECTORY ${dir})
execute_process(COMMAND ${PTRBOX_OBJCOPY} --only-keep-debug --compress-debug-sections
  ${PTRBOX_DEBUG_INPUT} ${file} COMMAND_ERROR_IS_FATAL ANY)
file(CHMOD ${file} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
