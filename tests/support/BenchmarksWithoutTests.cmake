# Configures the project with the tests off and the benchmarks on in a
# scratch directory and compiles every benchmark source there (syntax only):
# the benchmarks must build without the tests.
#   cmake -DSOURCE_DIR=<project> -DWORK_DIR=<scratch> -P BenchmarksWithoutTests.cmake
file(REMOVE_RECURSE ${WORK_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR} -G Ninja -DCMAKE_BUILD_TYPE=Debug
          -DVALDRAN_TESTS=OFF -DVALDRAN_BENCH=ON -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "configuring without the tests failed:\n${out}")
endif()
file(READ ${WORK_DIR}/compile_commands.json commands)
string(JSON count LENGTH "${commands}")
math(EXPR last "${count} - 1")
set(checked 0)
foreach(i RANGE ${last})
  string(JSON file GET "${commands}" ${i} file)
  if(NOT file MATCHES "/bench/[^/]+\\.cpp$")
    continue()
  endif()
  string(JSON command GET "${commands}" ${i} command)
  string(JSON directory GET "${commands}" ${i} directory)
  # The same compiler and flags, checked for syntax only: no object, no
  # library needs to be built first.
  string(REGEX REPLACE " -o [^ ]+" "" command "${command}")
  separate_arguments(args UNIX_COMMAND "${command}")
  execute_process(COMMAND ${args} -fsyntax-only WORKING_DIRECTORY ${directory}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${file} does not compile without the tests:\n${out}")
  endif()
  math(EXPR checked "${checked} + 1")
endforeach()
if(checked EQUAL 0)
  message(FATAL_ERROR "no benchmark source found in ${WORK_DIR}/compile_commands.json")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "${checked} benchmark sources compile without the tests")
