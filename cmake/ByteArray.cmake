# Helpers for the scripts that compile a file's bytes into a C++ source at build time.

# tessaro_byte_array(VARIABLE PATH RESULT): the C++ definition of a char array VARIABLE holding
# the bytes of PATH and a terminating NUL, and of VARIABLESize, its length without the NUL.
function(tessaro_byte_array variable path result)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" digits)
  math(EXPR size "${digits} / 2")
  # Sixteen bytes (32 hex digits) a line keep the generated file readable.
  string(REGEX REPLACE "(................................)" "\\1\n    " hex "${hex}")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  set(${result} "constexpr char ${variable}[] = {\n    ${bytes}'\\0'};\nconstexpr std::size_t ${variable}Size = ${size};\n" PARENT_SCOPE)
endfunction()

# tessaro_write_if_changed(PATH TEXT): rewriting an unchanged file would only make everything
# that includes it rebuild.
function(tessaro_write_if_changed path text)
  if(EXISTS "${path}")
    file(READ "${path}" old)
    if(old STREQUAL text)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${text}")
endfunction()
