# Assembles the example product's folder: the checked-in files, the generated ones and the
# Windows programs of the stub-x64 build. Files whose content is unchanged keep their
# modification time, so that building the example again gives the same installer.
# Usage: cmake -DSOURCE_DIR=DIR -DPRODUCT=DIR -DWINDOWS_PROGRAMS=DIR -P assemble_product.cmake

# Writes `text` to `path` only when the file does not hold it already.
function(write_if_changed path text)
  if(EXISTS "${path}")
    # Compared by hash: file(READ) does not hand back carriage returns.
    file(SHA256 "${path}" old)
    string(SHA256 new "${text}")
    if(old STREQUAL new)
      return()
    endif()
  endif()
  file(WRITE "${path}" "${text}")
endfunction()

# manual.txt: about 150 KB of numbered text, more than two 65000-byte pieces.
function(make_manual path)
  set(text "")
  foreach(chapter RANGE 1 30)
    string(APPEND text "Chapter ${chapter}\r\n==========\r\n\r\n")
    foreach(paragraph RANGE 1 50)
      math(EXPR number "${chapter} * 1000 + ${paragraph} * 7")
      string(APPEND text "${chapter}.${paragraph}  The demo product does exactly one thing, and "
                         "this paragraph (number ${number}) explains it once more.\r\n")
    endforeach()
    string(APPEND text "\r\n")
  endforeach()
  write_if_changed("${path}" "${text}")
endfunction()

# samples.dat: about 145 KB of pseudo-random hexadecimal numbers, which compress only to
# half, so that the package is large enough to spread over volumes of 100000 bytes.
function(make_samples path)
  set(state 12345)
  set(text "")
  foreach(line RANGE 1 2000)
    set(row "")
    foreach(word RANGE 1 8)
      math(EXPR state "(${state} * 1103515245 + 12345) % 2147483648")
      math(EXPR number "${state}" OUTPUT_FORMAT HEXADECIMAL)
      string(SUBSTRING "${number}" 2 -1 number)
      string(APPEND row "${number} ")
    endforeach()
    string(APPEND text "${row}\r\n")
  endforeach()
  write_if_changed("${path}" "${text}")
endfunction()

file(COPY "${SOURCE_DIR}/" DESTINATION "${PRODUCT}")
make_manual("${PRODUCT}/manual.txt")
make_samples("${PRODUCT}/samples.dat")
write_if_changed("${PRODUCT}/empty.log" "")

foreach(program DemoApp.exe DemoLib.dll)
  if(NOT EXISTS "${WINDOWS_PROGRAMS}/${program}")
    message(FATAL_ERROR "${WINDOWS_PROGRAMS}/${program} is missing: the stub-x64 build makes "
                        "it (make stubs, or cmake --build --preset stub-x64)")
  endif()
  file(COPY "${WINDOWS_PROGRAMS}/${program}" DESTINATION "${PRODUCT}")
endforeach()
