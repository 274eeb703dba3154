# Compiles each public header alone, as a consumer includes it (-I, not
# -isystem), in C++17 and C++20, plain and checked, with every warning a
# consumer may turn on, as errors. Run by CTest:
# cmake -DCXX=... -DINCLUDE=... -DWORK=... -P this file.
set(flags -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
  -Wold-style-cast -Wconversion -Werror -fsyntax-only)
file(GLOB headers RELATIVE ${INCLUDE} ${INCLUDE}/*)
file(MAKE_DIRECTORY ${WORK})
set(failed "")
foreach(header IN LISTS headers)
  file(WRITE ${WORK}/${header}.cpp "#include <${header}>\n")
  foreach(std 17 20)
    foreach(build PLAIN PTRBOX_CHECKED)
      execute_process(COMMAND ${CXX} -std=c++${std} -D${build} ${flags}
        -I${INCLUDE} ${WORK}/${header}.cpp
        RESULT_VARIABLE rc ERROR_VARIABLE err)
      if(NOT rc EQUAL 0)
        message("${header} (C++${std}, ${build}):\n${err}")
        list(APPEND failed "${header}/C++${std}/${build}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(failed)
  message(FATAL_ERROR "headers with warnings: ${failed}")
endif()
