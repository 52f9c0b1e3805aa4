# Replays the run that proves each level of the campaign, as a player would check it:
#
#     cmake -DBRICKSTORM=path/to/brickstorm -DSOURCE=source-tree -P check_runs.cmake
#
# Every level in levels/ has its run levels/runs/NN.rec, and every run is replayed from the
# source tree's top (where its level names point) and must clear its level at its first attempt.
# Another version of the program may replay them: the recorded states still have to match tick
# by tick, which is what proves the level.
file(GLOB levels RELATIVE ${SOURCE}/levels ${SOURCE}/levels/*.lvl)
set(failures "")
foreach(level IN LISTS levels)
  string(SUBSTRING ${level} 0 2 number)
  set(run levels/runs/${number}.rec)
  if(NOT EXISTS ${SOURCE}/${run})
    string(APPEND failures "${level}: no run proves it (${run} is missing)\n")
    continue()
  endif()
  execute_process(COMMAND ${BRICKSTORM} --replay ${run} --check --replay-any-version
    WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err
    TIMEOUT 60)
  if(NOT status EQUAL 0 OR NOT out MATCHES "^level 1: cleared after [0-9]+ ticks\nin all: 1 level cleared, 0 deaths, ")
    string(APPEND failures "${run} does not clear ${level} (status ${status}):\n${out}${err}")
  else()
    string(REGEX MATCH "cleared after [0-9]+ ticks" cleared "${out}")
    message(STATUS "${level}: ${cleared}")
  endif()
endforeach()
list(LENGTH levels count)
if(count LESS 24)
  string(APPEND failures "the campaign has ${count} levels, fewer than 24\n")
endif()
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
