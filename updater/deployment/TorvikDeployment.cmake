cmake_policy(VERSION 3.25)

# Turns a deployment file into the source of the updater's built-in values. The format
# (the same rules as settings/cipher/deployment_file.h, which the encipher tool uses):
#
#   cipher           lockbox (the default) or blowfish
#   pass_phrase      16 printable ASCII characters, or
#   pass_phrase_hex  the 16 bytes as 32 hexadecimal digits (for any other bytes)
#   user_id          the enciphered database user ID, 24 Base64 characters
#   password         the enciphered database password, 24 Base64 characters
#
# one `key = value` a line; blanks around keys and values are not part of them; blank
# lines and lines starting with "#" are skipped; lines end with LF or CR LF.
#
# A deployment file can be checked without configuring a build:
#   cmake -D DEPLOYMENT_FILE=<file> -D OUTPUT_FILE=<source> -P TorvikDeployment.cmake

function(_torvik_deployment_fail file line what)
  if(line GREATER 0)
    message(FATAL_ERROR "Deployment file ${file}: line ${line}: ${what}")
  endif()
  message(FATAL_ERROR "Deployment file ${file}: ${what}")
endfunction()

# torvik_generate_deployment(<deployment file> <output source file>)
# Refuses a malformed file with a message naming the line; writes the source only when
# its content changes.
function(torvik_generate_deployment file output)
  if(NOT EXISTS "${file}" OR IS_DIRECTORY "${file}")
    _torvik_deployment_fail("${file}" 0 "not found")
  endif()
  file(SIZE "${file}" size)
  if(size GREATER 65536)
    _torvik_deployment_fail("${file}" 0 "too large for a deployment file")
  endif()
  file(READ "${file}" hex HEX)
  if(hex MATCHES "^(..)*00")
    _torvik_deployment_fail("${file}" 0 "the file holds a NUL byte")
  endif()
  file(READ "${file}" rest)

  set(cipher "LockBox")
  set(pass_phrase_hex "")
  set(seen "")
  set(line_number 0)
  # Walk the text line by line without CMake lists, so ";" stays an ordinary character.
  while(NOT rest STREQUAL "")
    string(FIND "${rest}" "\n" end)
    if(end EQUAL -1)
      set(line "${rest}")
      set(rest "")
    else()
      string(SUBSTRING "${rest}" 0 ${end} line)
      math(EXPR next "${end} + 1")
      string(SUBSTRING "${rest}" ${next} -1 rest)
    endif()
    math(EXPR line_number "${line_number} + 1")
    string(REGEX REPLACE "\r$" "" line "${line}")
    string(STRIP "${line}" line)
    if(line STREQUAL "" OR line MATCHES "^#")
      continue()
    endif()
    if(NOT line MATCHES "^([^=]*)=(.*)$")
      _torvik_deployment_fail("${file}" ${line_number} "expected key = value")
    endif()
    string(STRIP "${CMAKE_MATCH_1}" key)
    string(STRIP "${CMAKE_MATCH_2}" value)
    if(NOT key MATCHES "^(cipher|pass_phrase|pass_phrase_hex|user_id|password)$")
      _torvik_deployment_fail("${file}" ${line_number} "unknown key \"${key}\"")
    endif()
    if(" ${seen} " MATCHES " ${key} ")
      _torvik_deployment_fail("${file}" ${line_number} "\"${key}\" is given twice")
    endif()
    string(APPEND seen " ${key}")

    if(key STREQUAL "cipher")
      if(value STREQUAL "lockbox")
        set(cipher "LockBox")
      elseif(value STREQUAL "blowfish")
        set(cipher "Blowfish")
      else()
        _torvik_deployment_fail("${file}" ${line_number} "unknown cipher \"${value}\" (lockbox or blowfish)")
      endif()
    elseif(key MATCHES "^pass_phrase")
      if(NOT pass_phrase_hex STREQUAL "")
        _torvik_deployment_fail("${file}" ${line_number} "give either pass_phrase or pass_phrase_hex, not both")
      endif()
      if(key STREQUAL "pass_phrase")
        string(LENGTH "${value}" length)
        if(NOT length EQUAL 16 OR NOT value MATCHES "^[ -~]+$")
          _torvik_deployment_fail("${file}" ${line_number}
            "pass_phrase must be 16 printable ASCII characters (use pass_phrase_hex for other bytes)")
        endif()
        string(HEX "${value}" pass_phrase_hex)
      else()
        if(NOT value MATCHES "^[0-9A-Fa-f]+$")
          _torvik_deployment_fail("${file}" ${line_number} "pass_phrase_hex must be 32 hexadecimal digits (16 bytes)")
        endif()
        string(LENGTH "${value}" length)
        if(NOT length EQUAL 32)
          _torvik_deployment_fail("${file}" ${line_number} "pass_phrase_hex must be 32 hexadecimal digits (16 bytes)")
        endif()
        set(pass_phrase_hex "${value}")
      endif()
    else()
      # 16 bytes in Base64: 21 letters, a 22nd that carries no bits beyond the 16th byte, "==".
      if(NOT value MATCHES "^[A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][A-Za-z0-9+/][AQgw]==$")
        _torvik_deployment_fail("${file}" ${line_number} "${key} must be 24 Base64 characters (16 enciphered bytes)")
      endif()
      set(enciphered_${key} "${value}")
    endif()
  endwhile()

  if(pass_phrase_hex STREQUAL "")
    _torvik_deployment_fail("${file}" 0 "pass_phrase (or pass_phrase_hex) is missing")
  endif()
  foreach(key IN ITEMS user_id password)
    if(NOT DEFINED enciphered_${key})
      _torvik_deployment_fail("${file}" 0 "${key} is missing")
    endif()
  endforeach()

  # The program holds the pass phrase with every byte complemented.
  set(complemented "")
  foreach(offset RANGE 0 30 2)
    string(SUBSTRING "${pass_phrase_hex}" ${offset} 2 byte)
    math(EXPR byte "0xFF ^ 0x${byte}" OUTPUT_FORMAT HEXADECIMAL)
    list(APPEND complemented "${byte}")
  endforeach()
  list(JOIN complemented ", " TORVIK_DEPLOYMENT_PASS_PHRASE)

  get_filename_component(TORVIK_DEPLOYMENT_NAME "${file}" NAME)
  set(TORVIK_DEPLOYMENT_CIPHER "${cipher}")
  set(TORVIK_DEPLOYMENT_USER_ID "${enciphered_user_id}")
  set(TORVIK_DEPLOYMENT_PASSWORD "${enciphered_password}")
  configure_file("${CMAKE_CURRENT_FUNCTION_LIST_DIR}/built_in_deployment.cpp.in" "${output}" @ONLY)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  if(NOT DEFINED DEPLOYMENT_FILE OR NOT DEFINED OUTPUT_FILE)
    message(FATAL_ERROR "usage: cmake -D DEPLOYMENT_FILE=<file> -D OUTPUT_FILE=<source> -P ${CMAKE_CURRENT_LIST_FILE}")
  endif()
  torvik_generate_deployment("${DEPLOYMENT_FILE}" "${OUTPUT_FILE}")
endif()
