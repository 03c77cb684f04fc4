# Header-only dependencies come from Debian's host packages. Only their own
# folders are exposed to the cross compiler (never /usr/include itself, whose
# glibc headers would shadow mingw's).
set(NORLET_THIRDPARTY_INCLUDE ${CMAKE_BINARY_DIR}/thirdparty/include)
file(MAKE_DIRECTORY ${NORLET_THIRDPARTY_INCLUDE})
foreach(dep spdlog fmt rapidjson stb)
  if(NOT EXISTS /usr/include/${dep})
    message(FATAL_ERROR "/usr/include/${dep} is missing: run tools/bootstrap.sh")
  endif()
  file(CREATE_LINK /usr/include/${dep} ${NORLET_THIRDPARTY_INCLUDE}/${dep} SYMBOLIC)
endforeach()

add_library(thirdparty_headers INTERFACE)
target_include_directories(thirdparty_headers SYSTEM INTERFACE ${NORLET_THIRDPARTY_INCLUDE})

find_package(ZLIB REQUIRED)
