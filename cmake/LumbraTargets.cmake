# Common settings for every target of the project.
add_library(lumbra_options INTERFACE)
target_include_directories(lumbra_options INTERFACE ${PROJECT_SOURCE_DIR})
if(MSVC)
  message(FATAL_ERROR "Build with g++ natively or mingw-w64 for Windows")
endif()
target_compile_options(lumbra_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
if(WIN32)
  target_compile_definitions(lumbra_options INTERFACE
    WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601 STRICT)
  # Script arithmetic is double arithmetic: floating point on the SSE2 unit,
  # never in the x87's 80-bit registers, so both builds round alike.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    target_compile_options(lumbra_options INTERFACE -msse2 -mfpmath=sse)
  endif()
  # Self-contained executables: no mingw runtime DLLs beside them.
  target_link_options(lumbra_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()

# lumbra_library(name SOURCES ... [LIBS ...])
function(lumbra_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_link_libraries(${name} PUBLIC lumbra_options ${ARG_LIBS})
  else() # a layer whose first unit is still to come
    add_library(${name} INTERFACE)
    target_link_libraries(${name} INTERFACE lumbra_options ${ARG_LIBS})
  endif()
endfunction()

# lumbra_test(name SOURCES ... [LIBS ...]): one GoogleTest executable, one
# ctest entry (each Wine start costs about a second, so tests are grouped).
function(lumbra_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE lumbra_options ${ARG_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "LUMBRA_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;LUMBRA_BUILD_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# lumbra_fuzz_target(name SOURCES ... [LIBS ...] CORPUS dir): the source defines
# LLVMFuzzerTestOneInput. In the ordinary native build it links with a replay
# driver and runs the stored corpus as a test; `./lumbra.sh fuzz name` builds
# it with clang's libFuzzer under the sanitizers.
function(lumbra_fuzz_target name)
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(CMAKE_CROSSCOMPILING)
    return()
  endif()
  if(LUMBRA_LIBFUZZER)
    add_executable(${name} ${ARG_SOURCES})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    add_executable(${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    add_test(NAME ${name}_replay COMMAND ${name} ${ARG_CORPUS})
  endif()
  target_link_libraries(${name} PRIVATE lumbra_options ${ARG_LIBS})
endfunction()
