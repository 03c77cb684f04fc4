# Script mode: zips the contents of SRC (not SRC itself) into OUT with CMake's
# own archiver. Entries are listed folder by folder, so every folder entry
# precedes the files inside it.
file(GLOB children RELATIVE ${SRC} ${SRC}/*)
list(SORT children)
file(REMOVE ${OUT})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${OUT} --format=zip --mtime=2026-01-01 -- ${children}
                WORKING_DIRECTORY ${SRC} COMMAND_ERROR_IS_FATAL ANY)
