# Plays one golden replay headless and compares what it prints (state dumps and frame hashes)
# with the checked-in expectation. With -DUPDATE=ON it writes the expectation instead.
#   cmake -DGAME=... -DDATA=... -DSCRIPT=... -DEXPECTED=... -DSCRATCH=... [-DUPDATE=ON] -P run_replay.cmake
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND ${GAME} --headless --script ${SCRIPT} --data ${DATA} --save-dir ${SCRATCH}
  OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the replay ended with status ${status}:\n${errors}")
endif()
if(UPDATE)
  file(WRITE ${EXPECTED} "${output}")
  message(STATUS "wrote ${EXPECTED}")
  return()
endif()
file(READ ${EXPECTED} expected)
if(NOT output STREQUAL expected)
  file(WRITE ${SCRATCH}/actual.txt "${output}")
  message(FATAL_ERROR "the replay differs from ${EXPECTED}: the game plays differently now. "
    "Compare ${SCRATCH}/actual.txt with it; if the change is meant, update the expectations with "
    "tests/replays/update.sh BUILD_DIR.")
endif()
