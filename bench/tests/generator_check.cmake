# Runs kestrun_generate_scene as a benchmark would and checks what it writes
# with check_scene.py. CASE picks the group of checks:
#   seeds    the same seed gives the same bytes, another seed other bytes, and
#            --crlf the same scene with CR LF line ends
#   keyed    node counts and the keyed layout; a bad option is refused
#   sampled  node counts and the sampled layout
#   size     --size-mb lands near its target, keyed, sampled, and with
#            --vertices fixed (the dense shape: the size decides the objects)
# Needs -DCASE=... -DGENERATOR=... -DPYTHON=... -DCHECKER=... -DWORK_DIR=...
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

function(expect_identical first second expected)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK_DIR}/${first}" "${WORK_DIR}/${second}"
                  RESULT_VARIABLE code)
  if(code EQUAL 0)
    set(identical TRUE)
  else()
    set(identical FALSE)
  endif()
  if(NOT identical STREQUAL expected)
    message(FATAL_ERROR "${first} and ${second}: identical is ${identical}, expected ${expected}")
  endif()
endfunction()

if(CASE STREQUAL "seeds")
  generate(seed7.ase --size-mb 1 --seed 7)
  generate(seed7_again.ase --size-mb=1 --seed=7)
  generate(seed8.ase --size-mb 1 --seed 8)
  generate(seed7_crlf.ase --size-mb 1 --seed 7 --crlf)
  expect_identical(seed7.ase seed7_again.ase TRUE)
  expect_identical(seed7.ase seed8.ase FALSE)
  file(READ "${WORK_DIR}/seed7.ase" lf)
  string(REPLACE "\n" "\r\n" lf "${lf}")
  file(WRITE "${WORK_DIR}/seed7_with_crs.ase" "${lf}")
  expect_identical(seed7_with_crs.ase seed7_crlf.ase TRUE)
elseif(CASE STREQUAL "keyed")
  # 320 vertices: many texture coordinates i / 320 are exact ties at four decimals.
  generate(keyed.ase --objects 3 --vertices 320 --keys 30 --lights 1 --cameras 3 --seed 3)
  check(keyed.ase --nodes 3,1,3)
  generate(still.ase --objects 2 --vertices 9 --keys 0 --lights 0 --cameras 1)
  check(still.ase --nodes 2,0,1)
  execute_process(COMMAND "${GENERATOR}" --size-mb 501 --output "${WORK_DIR}/refused.ase"
                  RESULT_VARIABLE code OUTPUT_QUIET ERROR_QUIET)
  if(code EQUAL 0 OR EXISTS "${WORK_DIR}/refused.ase")
    message(FATAL_ERROR "--size-mb 501 was accepted")
  endif()
elseif(CASE STREQUAL "sampled")
  generate(sampled.ase --sampled --objects 2 --vertices 500 --keys 300 --lights 2 --cameras 1 --seed 4)
  check(sampled.ase --sampled --nodes 2,2,1)
elseif(CASE STREQUAL "size")
  generate(size1.ase --size-mb 1)
  check(size1.ase --target-bytes 1000000)
  generate(size3.ase --size-mb 3 --sampled --crlf --seed 5)
  check(size3.ase --sampled --crlf --target-bytes 3000000)
  generate(dense6.ase --size-mb 6 --vertices 600 --lights 20 --cameras 5 --seed 6)
  check(dense6.ase --target-bytes 6000000 --nodes 8,20,5)
else()
  message(FATAL_ERROR "unknown CASE '${CASE}'")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
