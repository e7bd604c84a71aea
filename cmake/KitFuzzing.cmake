# libFuzzer targets. They exist only in the fuzz build (KIT_FUZZ, clang); `./kit fuzz`
# runs every program collected in <build>/fuzzers with its seed corpus for a bounded time.

set(KIT_FUZZER_DIR "${CMAKE_BINARY_DIR}/fuzzers")
if(KIT_FUZZ)
  # Building this target builds every fuzz target and only what they need.
  add_custom_target(fuzzers)
endif()

# kit_add_fuzzer(<name> SOURCES <files...> [LIBRARIES <targets...>] [CORPUS <dir>])
function(kit_add_fuzzer name)
  if(NOT KIT_FUZZ)
    return()
  endif()
  cmake_parse_arguments(arg "" "CORPUS" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${KIT_FUZZER_DIR}")
  add_dependencies(fuzzers ${name})
  if(arg_CORPUS)
    # The seed corpus travels beside the program so the runner finds it by name.
    file(WRITE "${KIT_FUZZER_DIR}/${name}.corpus" "${arg_CORPUS}\n")
  endif()
endfunction()
