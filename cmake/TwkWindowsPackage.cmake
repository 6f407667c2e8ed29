# The Windows package of `make package`: build/package/twksetup-VERSION-win64.zip, one
# folder to unpack anywhere, with twk.exe (built by the twk-win64 tree into TWK_BIN_DIR),
# both stubs beside it where it looks for them, the documents and the example product.
set(TWK_WINDOWS_ZIP ${PROJECT_SOURCE_DIR}/build/package/twksetup-${PROJECT_VERSION}-win64.zip)
add_custom_target(windows_package
  COMMAND python3 ${PROJECT_SOURCE_DIR}/scripts/make_windows_zip.py
          --output ${TWK_WINDOWS_ZIP} --folder twksetup-${PROJECT_VERSION}-win64
          --bin ${TWK_BIN_DIR} --readme ${PROJECT_SOURCE_DIR}/README.md
          --docs ${PROJECT_SOURCE_DIR}/docs --example ${PROJECT_BINARY_DIR}/examples/product
  COMMENT "Making ${TWK_WINDOWS_ZIP}"
  VERBATIM)
add_dependencies(windows_package example_installer)
