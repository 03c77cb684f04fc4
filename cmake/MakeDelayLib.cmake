# Script mode: writes a .def from an import library's __imp_ symbols and turns
# it into a delay-import library with dlltool.
execute_process(COMMAND ${NM} -g --defined-only ${IMPLIB} OUTPUT_VARIABLE syms COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "__imp_[A-Za-z0-9_@?$]+" imps "${syms}")
list(REMOVE_DUPLICATES imps)
set(def "LIBRARY ${DLL}\nEXPORTS\n")
foreach(imp ${imps})
  string(REGEX REPLACE "^__imp_" "" name "${imp}")
  if(ARCH STREQUAL "i686")
    # 32-bit stdcall names carry a leading underscore that the .def omits.
    string(REGEX REPLACE "^_" "" name "${name}")
  endif()
  string(APPEND def "${name}\n")
endforeach()
get_filename_component(dir ${OUT} DIRECTORY)
file(MAKE_DIRECTORY ${dir})
file(WRITE ${OUT}.def "${def}")
set(kill)
if(ARCH STREQUAL "i686")
  set(kill -k)
endif()
execute_process(COMMAND ${DLLTOOL} ${kill} --input-def ${OUT}.def --output-delaylib ${OUT} --dllname ${DLL}
                COMMAND_ERROR_IS_FATAL ANY)
