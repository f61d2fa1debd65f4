# lumbra-movie play: a movie built from a description prints its traces for
# the frames asked, ends after the frame that calls fscommand("quit"), and a
# file that is no movie fails with status 1 and a message.
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
