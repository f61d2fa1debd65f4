# Runs every script of SCRIPTS with ORVET (through EMULATOR, if any) and
# compares what it prints with the expected files beside it. A script that
# must succeed is also compiled (with line information) and its image run,
# which must print the same; under an emulator (each start costs seconds)
# that round trip is left to the native build. A script with NAME.gerr is
# compiled with line information and its image must print that on standard
# error (the locations of its warnings and errors). Every NAME.in is typed
# at the prompt; what the prompt prints must equal NAME.out.
file(GLOB scripts ${SCRIPTS}/*.ovs)
set(failed "")
foreach(script ${scripts})
  get_filename_component(name ${script} NAME_WE)
  execute_process(COMMAND ${EMULATOR} ${ORVET} run ${name}.ovs
    WORKING_DIRECTORY ${SCRIPTS}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  file(READ ${SCRIPTS}/${name}.out expected_out)
  set(expected_err "")
  set(expected_status 0)
  if(EXISTS ${SCRIPTS}/${name}.err)
    file(READ ${SCRIPTS}/${name}.err expected_err)
    set(expected_status 1)
  endif()
  if(NOT out STREQUAL expected_out OR NOT err STREQUAL expected_err OR NOT status EQUAL expected_status)
    file(WRITE ${WORK}/${name}.actual.out "${out}")
    file(WRITE ${WORK}/${name}.actual.err "${err}")
    message("${name}: status ${status} (expected ${expected_status}); output in ${WORK}/${name}.actual.*")
    list(APPEND failed ${name})
  elseif(expected_status EQUAL 0 AND NOT EMULATOR)
    execute_process(COMMAND ${EMULATOR} ${ORVET} compile ${script} -g -o ${WORK}/${name}.ovc
      RESULT_VARIABLE compiled)
    execute_process(COMMAND ${EMULATOR} ${ORVET} run ${WORK}/${name}.ovc
      WORKING_DIRECTORY ${SCRIPTS}
      OUTPUT_VARIABLE image_out ERROR_VARIABLE image_err RESULT_VARIABLE image_status)
    if(NOT compiled EQUAL 0 OR NOT image_out STREQUAL expected_out OR NOT image_status EQUAL 0)
      file(WRITE ${WORK}/${name}.image.out "${image_out}${image_err}")
      message("${name}: the compiled image printed otherwise; see ${WORK}/${name}.image.out")
      list(APPEND failed ${name}.ovc)
    endif()
  endif()
  if(EXISTS ${SCRIPTS}/${name}.gerr)
    execute_process(COMMAND ${EMULATOR} ${ORVET} compile ${name}.ovs -g -o ${WORK}/${name}.ovc
      WORKING_DIRECTORY ${SCRIPTS})
    execute_process(COMMAND ${EMULATOR} ${ORVET} run ${WORK}/${name}.ovc
      WORKING_DIRECTORY ${SCRIPTS} OUTPUT_QUIET ERROR_VARIABLE located_err)
    file(READ ${SCRIPTS}/${name}.gerr expected_located)
    if(NOT located_err STREQUAL expected_located)
      file(WRITE ${WORK}/${name}.actual.gerr "${located_err}")
      message("${name}: the image's locations differ; see ${WORK}/${name}.actual.gerr")
      list(APPEND failed ${name}.gerr)
    endif()
  endif()
endforeach()
file(GLOB inputs ${SCRIPTS}/*.in)
foreach(input ${inputs})
  get_filename_component(name ${input} NAME_WE)
  execute_process(COMMAND ${EMULATOR} ${ORVET} INPUT_FILE ${input}
    WORKING_DIRECTORY ${SCRIPTS} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  file(READ ${SCRIPTS}/${name}.out expected_out)
  if(NOT out STREQUAL expected_out OR NOT status EQUAL 0)
    file(WRITE ${WORK}/${name}.actual.out "${out}${err}")
    message("${name}.in: status ${status}; the prompt printed ${WORK}/${name}.actual.out")
    list(APPEND failed ${name}.in)
  endif()
endforeach()
list(LENGTH scripts count)
if(failed)
  message(FATAL_ERROR "failed: ${failed}")
endif()
message("${count} scripts passed")
