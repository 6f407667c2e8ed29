# Compile options shared by every target of the project: twk_target_options(TARGET).

# The fuzzing tree: libFuzzer steers by the coverage of the code it runs, so every object
# of this tree carries the coverage instrumentation (only the fuzz targets themselves add
# -fsanitize=fuzzer, which links libFuzzer's main). Set here, for the whole tree, rather
# than per library: a library left out would give the fuzzer nothing to steer by, and
# scripts/check-fuzz-coverage.sh fails the fuzz run when that happens. Undefined
# behaviour must stop a run as a crash rather than print a warning and go on.
if(TWK_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link -fno-sanitize-recover=all)
endif()
function(twk_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wno-unused-parameter)
  if(TWK_DEVELOPER)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  if(TWK_STUB_BUILD)
    # The stub is copied three times into every installation: keep it small and free of
    # exception and RTTI machinery. Nothing in the stub throws, so it needs no unwind
    # tables either; no compiler banner in every object, and no frame pointer, which
    # the i686 compiler otherwise keeps even at -Os. Constant texts with the same bytes
    # are stored once (nothing compares their addresses), and arrays are aligned as
    # their elements need, not to 32 bytes each for vector code the stub does not have.
    set(stub_code_options -Os -fno-exceptions -fno-rtti
        -fno-asynchronous-unwind-tables -fno-unwind-tables -fno-ident -fomit-frame-pointer
        -fmerge-all-constants -malign-data=abi)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      # Arguments pushed rather than stored in room set aside (2 KB less code). The
      # compiler cannot then probe the stack below a frame larger than a page, which
      # would skip the guard page that grows the stack: the build fails on any frame of
      # more than 3 KB instead. The stack is kept at the 4-byte alignment that 32-bit
      # Windows gives, rather than padded to 16 bytes at every call.
      list(APPEND stub_code_options -mno-accumulate-outgoing-args -mno-stack-arg-probe
           -Werror=frame-larger-than=3072 -mpreferred-stack-boundary=2)
    endif()
    target_compile_options(${target} PRIVATE ${stub_code_options}
                           -ffunction-sections -fdata-sections)
    # The whole stub is optimised as one program at link time, where the code is made:
    # the same options apply there.
    set_property(TARGET ${target} PROPERTY INTERPROCEDURAL_OPTIMIZATION ON)
    target_link_options(${target} PRIVATE ${stub_code_options})
  elseif(TWK_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()
