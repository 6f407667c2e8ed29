# Compile options shared by every target of the project: twk_target_options(TARGET).
function(twk_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wno-unused-parameter)
  if(TWK_DEVELOPER)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  if(TWK_STUB_BUILD)
    # The stub is copied twice into every installation: keep it small and free of
    # exception and RTTI machinery. Nothing in the stub throws.
    target_compile_options(${target} PRIVATE -Os -fno-exceptions -fno-rtti
                           -ffunction-sections -fdata-sections)
  elseif(TWK_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()
