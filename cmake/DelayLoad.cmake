# DLLs outside the system's KnownDLLs list must not sit in the static import
# table: an elevated setup program started from Downloads would otherwise load
# a planted copy before our code runs. norlet_delayload(<target> <lib>) builds
# a delay-import library for lib<lib>.a from the import library's own symbols;
# the loader then resolves the DLL on first call, after start-up has limited
# the search path to the system folder.
find_program(NORLET_NM NAMES ${NORLET_TRIPLET}-nm REQUIRED)
find_program(NORLET_DLLTOOL NAMES ${NORLET_TRIPLET}-dlltool REQUIRED)

function(norlet_delayload_lib lib)
  set(out ${CMAKE_BINARY_DIR}/delayload/lib${lib}_delay.a)
  if(TARGET delay_${lib})
    return()
  endif()
  find_library(NORLET_IMPLIB_${lib} NAMES lib${lib}.a REQUIRED)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -DNM=${NORLET_NM} -DDLLTOOL=${NORLET_DLLTOOL}
            -DIMPLIB=${NORLET_IMPLIB_${lib}} -DDLL=${lib}.dll -DOUT=${out}
            -DARCH=${CMAKE_SYSTEM_PROCESSOR}
            -P ${CMAKE_SOURCE_DIR}/cmake/MakeDelayLib.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/cmake/MakeDelayLib.cmake
    COMMENT "Delay-import library for ${lib}.dll")
  add_custom_target(delay_${lib}_gen DEPENDS ${out})
  add_library(delay_${lib} STATIC IMPORTED GLOBAL)
  set_target_properties(delay_${lib} PROPERTIES IMPORTED_LOCATION ${out})
  add_dependencies(delay_${lib} delay_${lib}_gen)
endfunction()

# Links <target> against delay-loaded forms of the given system libraries.
function(norlet_delayload target)
  foreach(lib ${ARGN})
    norlet_delayload_lib(${lib})
    target_link_libraries(${target} PUBLIC delay_${lib})
  endforeach()
  target_link_libraries(${target} PUBLIC delayimp)
endfunction()
