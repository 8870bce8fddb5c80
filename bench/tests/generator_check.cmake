# Runs kestrun_generate_scene as a benchmark would and checks what it writes:
# the same seed gives the same bytes, another seed other bytes, and every file
# passes check_scene.py (exporter layout, valid face corners, size near target).
# Needs -DGENERATOR=... -DPYTHON=... -DCHECKER=... -DWORK_DIR=...
foreach(required GENERATOR PYTHON CHECKER WORK_DIR)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "generator_check.cmake needs -D${required}=...")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

function(generate name)
  execute_process(COMMAND "${GENERATOR}" ${ARGN} --output "${WORK_DIR}/${name}"
                  RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "generating ${name} failed (${code}): ${errors}")
  endif()
  message(STATUS "${output}")
endfunction()

function(check name)
  execute_process(COMMAND "${PYTHON}" "${CHECKER}" "${WORK_DIR}/${name}" ${ARGN}
                  RESULT_VARIABLE code OUTPUT_VARIABLE output ERROR_VARIABLE errors)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "${name} failed the layout check: ${errors}")
  endif()
  message(STATUS "${output}")
endfunction()

function(expect_same_files first second expected)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK_DIR}/${first}" "${WORK_DIR}/${second}"
                  RESULT_VARIABLE code)
  if(code EQUAL 0)
    set(same TRUE)
  else()
    set(same FALSE)
  endif()
  if(NOT same STREQUAL expected)
    message(FATAL_ERROR "${first} and ${second}: identical is ${same}, expected ${expected}")
  endif()
endfunction()

generate(seed7.ase --size-mb 1 --seed 7)
generate(seed7_again.ase --size-mb=1 --seed=7)
generate(seed8.ase --size-mb 1 --seed 8)
expect_same_files(seed7.ase seed7_again.ase TRUE)
expect_same_files(seed7.ase seed8.ase FALSE)

file(READ "${WORK_DIR}/seed7.ase" head LIMIT 40)
if(NOT head MATCHES "^\\*3DSMAX_ASCIIEXPORT\t200\n\\*COMMENT ")
  message(FATAL_ERROR "seed7.ase does not start with the export header: ${head}")
endif()

check(seed7.ase --target-bytes 1000000)
check(seed8.ase --target-bytes 1000000)
generate(crlf.ase --size-mb 2 --seed 7 --crlf)
check(crlf.ase --crlf --target-bytes 2000000)
generate(counts.ase --objects 3 --vertices 500 --keys 20 --lights 1 --cameras 3)
check(counts.ase)

# A target outside 1..500 MB is refused, and nothing is written.
execute_process(COMMAND "${GENERATOR}" --size-mb 501 --output "${WORK_DIR}/refused.ase"
                RESULT_VARIABLE code OUTPUT_QUIET ERROR_QUIET)
if(code EQUAL 0 OR EXISTS "${WORK_DIR}/refused.ase")
  message(FATAL_ERROR "--size-mb 501 was accepted")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
