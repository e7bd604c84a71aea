# GoogleTest suites registered with CTest. The fuzz build carries no tests.

if(NOT KIT_FUZZ)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# kit_add_gtest(<name> SOURCES <files...> [LIBRARIES <targets...>] [DEFINITIONS <defs...>])
# Builds one test program and registers each of its test cases with CTest.
function(kit_add_gtest name)
  if(KIT_FUZZ)
    return()
  endif()
  cmake_parse_arguments(arg "" "" "SOURCES;LIBRARIES;DEFINITIONS" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${name} PRIVATE ${arg_DEFINITIONS})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()

# Benchmarks: programs that print their own figures (speed, memory). They are built
# with the normal build and run by `./kit bench`, never by the tests.
set(KIT_BENCHMARK_DIR "${CMAKE_BINARY_DIR}/benchmarks")
if(NOT KIT_FUZZ AND NOT TARGET benchmarks)
  add_custom_target(benchmarks)
endif()

# kit_add_benchmark(<name> SOURCES <files...> [LIBRARIES <targets...>])
function(kit_add_benchmark name)
  if(KIT_FUZZ)
    return()
  endif()
  cmake_parse_arguments(arg "" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${KIT_BENCHMARK_DIR}")
  add_dependencies(benchmarks ${name})
endfunction()
