include(GoogleTest)
find_package(GTest REQUIRED)

# verbarium_test(NAME SOURCES... LIBS libs...)
# One GoogleTest binary per test area; every TEST is registered with CTest.
function(verbarium_test name)
  cmake_parse_arguments(T "" "FILTER" "SOURCES;LIBS" ${ARGN})
  if(NOT T_FILTER)
    set(T_FILTER "*")
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    VERBARIUM_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    VERBARIUM_BINARY_DIR="${CMAKE_BINARY_DIR}")
  # NO_PRETTY_VALUES: a row is named by its index or by the suite's name generator, never by
  # the bytes of its parameter (which made names of hundreds of characters, pointers included).
  # FILTER (a --gtest_filter) leaves tests out of the one-CTest-test-per-case discovery, for a
  # caller that runs them some other way.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES TEST_FILTER ${T_FILTER}
                       PROPERTIES TIMEOUT 300)
endfunction()

# verbarium_fuzz(NAME SOURCE LIBS...)
# With VERBARIUM_FUZZ (clang) the target is a libFuzzer binary. Otherwise it is linked with a
# plain runner that replays fuzz/corpus/NAME/ and the replay is a CTest test.
function(verbarium_fuzz name source)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src)
  if(VERBARIUM_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  else()
    target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/fuzz/ReplayMain.cpp)
    add_test(NAME fuzz_replay_${name}
             COMMAND ${name} ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  endif()
endfunction()
