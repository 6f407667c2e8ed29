# Layers that the build enforces. Each folder of the tree is one library, and a library's
# headers are visible only to targets that link it: nothing gets the repository root as
# an include folder. So `#include "codec/x.h"` compiles only in a target that links
# twk_codec (or a library that passes it on), and an include that the link lines do not
# allow fails to build. tests/architecture/check_layers.py (CTest `layer_order`) checks
# the direction of every include against the order of the layers.

# twk_layer_headers(TARGET FOLDER): TARGET exports the headers directly in FOLDER (a path
# from the repository root) as "FOLDER/name.h". They are linked one by one into a folder
# of the build tree made for TARGET, which becomes its public include folder; headers in
# subfolders belong to other libraries (codec/encoder, platform/sim/machine) and are not
# exported. A header added to FOLDER is picked up at the next build.
function(twk_layer_headers target folder)
  set(root ${PROJECT_BINARY_DIR}/layer_headers/${target})
  file(GLOB headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h
       ${PROJECT_SOURCE_DIR}/${folder}/*.inc)
  # Made anew each time, so that a header moved away is not left reachable.
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  foreach(header IN LISTS headers)
    get_filename_component(name ${header} NAME)
    file(CREATE_LINK ${header} ${root}/${folder}/${name} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()

# twk_test_headers(TARGET): test, fuzz and benchmark targets include their own helpers as
# "tests/..." and "fuzz/..."; the code they exercise only through what they link.
function(twk_test_headers target)
  set(root ${PROJECT_BINARY_DIR}/layer_headers/test_support)
  foreach(folder tests fuzz)
    if(NOT EXISTS ${root}/${folder})
      file(MAKE_DIRECTORY ${root})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
    endif()
  endforeach()
  target_include_directories(${target} PRIVATE ${root})
endfunction()
