# Polyglot, a UCI client nobody on the team wrote, drives the engine through
# its epd-test: uci, ucinewgame, isready, position fen, go, stop and quit for
# every position of the file, and the best move it is given is scored.
#   cmake -DROTOR=<engine> -DEPD=<file> -DWORK=<scratch folder> -P polyglot_epd.cmake
# Prints "SKIPPED" (the test is then skipped) when polyglot is not installed.
find_program(POLYGLOT polyglot PATHS /usr/games)
if(NOT POLYGLOT)
  message("SKIPPED: polyglot is not installed (tools/setup.sh test installs it)")
  return()
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${ROTOR} DESTINATION ${WORK})   # without book.dat: every move is searched
file(STRINGS ${EPD} positions REGEX "bm ")
list(LENGTH positions count)
execute_process(COMMAND ${POLYGLOT} -noini -ec ./rotor epd-test -epd ${EPD} -max-time 1 -min-depth 4
  WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status TIMEOUT 600)
file(REMOVE_RECURSE ${WORK})
message("${out}")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "polyglot exited with ${status}: ${err}")
endif()
if(NOT out MATCHES "score=${count}/${count} ")
  message(FATAL_ERROR "not every one of the ${count} positions solved")
endif()
