# lumbra-movie play: a movie built from a description prints its traces for
# the frames asked, ends after the frame that calls fscommand("quit"), and a
# file that is no movie fails with status 1 and a message. lumbra-movie
# compile makes a movie from ActionScript source that plays the same way; a
# source with an error fails with status 1 and the error's line.
function(run_play expected_status expected_out)
  execute_process(COMMAND ${EMULATOR} ${MOVIE} play ${ARGN}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  if(NOT status EQUAL expected_status OR NOT out STREQUAL expected_out)
    message(FATAL_ERROR "play ${ARGN}: status ${status}, output '${out}', errors '${err}'")
  endif()
  if(expected_status EQUAL 1 AND NOT err MATCHES "lumbra-movie: ")
    message(FATAL_ERROR "play ${ARGN}: no message, errors '${err}'")
  endif()
endfunction()

file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${EMULATOR} ${MOVIE} build ${SOURCE}/play/quit.txt ${WORK}/quit.swf
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot build the movie")
endif()
run_play(0 "one\n" ${WORK}/quit.swf --frames 1)
run_play(0 "one\ntwo\nx\n" ${WORK}/quit.swf --frames 2)
run_play(0 "one\ntwo\nx\nthree\nafter\n" ${WORK}/quit.swf --frames 10)
run_play(0 "one\ntwo\nx\nthree\nafter\n" ${WORK}/quit.swf)
file(WRITE ${WORK}/broken.swf "FWS nothing")
run_play(1 "" ${WORK}/broken.swf)
run_play(1 "" ${WORK}/missing.swf)

execute_process(COMMAND ${EMULATOR} ${MOVIE} compile ${SOURCE}/play/counter.as ${WORK}/counter.swf --version 7
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot compile the source")
endif()
run_play(0 "count 6\na\n" ${WORK}/counter.swf --frames 1)
run_play(0 "count 6\na\nobject true\n" ${WORK}/counter.swf)
file(WRITE ${WORK}/bad.as "trace(1);\nvar = 2;\n")
execute_process(COMMAND ${EMULATOR} ${MOVIE} compile ${WORK}/bad.as ${WORK}/bad.swf
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 1 OR NOT err MATCHES "bad.as: line 2: syntax error" OR EXISTS ${WORK}/bad.swf)
  message(FATAL_ERROR "compile bad.as: status ${status}, errors '${err}'")
endif()
