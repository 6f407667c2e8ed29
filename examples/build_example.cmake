# Builds the example installer as a release pipeline would: with SOURCE_DATE_EPOCH, so that
# the installer does not depend on when the tree was checked out or the product built.
# The time is the pipeline's own SOURCE_DATE_EPOCH when it sets one, else the time of the
# tree's last commit, else (a tree without its history) the release of the example, 1.2.
# It is written to EPOCH_FILE, for the scripts and tests that build the example again.
# Usage: cmake -DTWK=PATH -DSOURCE_DIR=DIR -DSCRIPT=FILE -DOUTPUT=FILE -DEPOCH_FILE=FILE
#              -P build_example.cmake
set(epoch 1767225600)  # 2026-01-01 00:00:00 UTC
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
else()
  find_program(git git)
  if(git)
    execute_process(COMMAND ${git} -C ${SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE status ERROR_QUIET)
    if(status EQUAL 0 AND commit_time MATCHES "^[0-9]+$")
      set(epoch ${commit_time})
    endif()
  endif()
endif()
file(WRITE ${EPOCH_FILE} "${epoch}\n")
set(ENV{SOURCE_DATE_EPOCH} ${epoch})
execute_process(COMMAND ${TWK} build ${SCRIPT} -o ${OUTPUT} --arch x64 RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "twk build ${SCRIPT} failed (exit code ${status})")
endif()
