# Run by CPack on the staged files before each package is made: strips the compiler's
# .comment and .note sections from the programs (CPACK_STRIP_FILES strips only the symbols).
file(GLOB_RECURSE programs LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
list(FILTER programs INCLUDE REGEX "/bin/[^/]+$")
find_program(STRIP_PROGRAM strip REQUIRED)
foreach(program ${programs})
  execute_process(COMMAND ${STRIP_PROGRAM} --remove-section=.comment --remove-section=.note
                          ${program}
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "strip failed on ${program}")
  endif()
endforeach()
