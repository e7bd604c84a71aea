# Warning and instrumentation flags shared by every target of the kit.

add_compile_options(-Wall -Wextra)
if(KIT_WERROR)
  add_compile_options(-Werror)
endif()

if(KIT_SANITIZE AND KIT_FUZZ)
  message(FATAL_ERROR "KIT_SANITIZE and KIT_FUZZ are separate builds; the fuzz build carries its own sanitizers")
endif()

if(KIT_SANITIZE)
  set(kit_sanitizer_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${kit_sanitizer_flags})
  add_link_options(${kit_sanitizer_flags})
endif()

if(KIT_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz build needs clang (libFuzzer): configure with CXX=clang++ CC=clang")
  endif()
  # Everything is instrumented for coverage; only the fuzz targets link the libFuzzer driver.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# kit_export_only(<shared library> <version script>)
# The library exports exactly what its version script lists, and relinks when the script
# changes. Outside the fuzz build every symbol must resolve at link time (clang leaves the
# sanitizer runtime to the fuzz programs, so only the other builds insist).
function(kit_export_only target map)
  target_link_options(${target} PRIVATE -Wl,--version-script=${map})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${map})
  if(NOT KIT_FUZZ)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()
