# Where `make install` and the Debian package put things (host build only): twk in
# bin/, both stubs in share/twksetup/ (Windows programs: the same on every host), the
# documents with the changelog and the copyright file (cmake/debian/), the assembled
# example product and the compressed man page under share/. twk finds the
# stubs from its own folder through TWK_STUB_FOLDER_FROM_BIN, whatever the prefix.
include(GNUInstallDirs)
set(TWK_INSTALL_STUBDIR ${CMAKE_INSTALL_DATADIR}/twksetup)
set(CMAKE_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/twksetup)
file(RELATIVE_PATH TWK_STUB_FOLDER_FROM_BIN /prefix/${CMAKE_INSTALL_BINDIR}
     /prefix/${TWK_INSTALL_STUBDIR})

# The Debian changelog's newest entry is the release being built.
file(STRINGS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog twk_changelog_top LIMIT_COUNT 1)
if(NOT twk_changelog_top MATCHES "^twksetup \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "cmake/debian/changelog begins with '${twk_changelog_top}': its newest "
                      "entry must be twksetup (${PROJECT_VERSION}), the project's version")
endif()

# twk_install_rules(): called once every target exists.
function(twk_install_rules)
  # The changelog and the copyright file go with the documents, the changelog compressed
  # as Debian's policy has it (gzip -9n: no name, no time, so the same bytes each time).
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
            ${PROJECT_BINARY_DIR}/changelog
    COMMAND gzip -9nf ${PROJECT_BINARY_DIR}/changelog
    DEPENDS ${PROJECT_SOURCE_DIR}/cmake/debian/changelog
    COMMENT "changelog.gz")
  add_custom_target(twk_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/changelog.gz)
  install(TARGETS twk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${TWK_BIN_DIR}/stub-x86.exe ${TWK_BIN_DIR}/stub-x64.exe
          DESTINATION ${TWK_INSTALL_STUBDIR})
  install(FILES ${PROJECT_BINARY_DIR}/twk.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/cmake/debian/copyright
                ${PROJECT_BINARY_DIR}/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)
  install(DIRECTORY ${PROJECT_BINARY_DIR}/examples/product/
          DESTINATION ${CMAKE_INSTALL_DOCDIR}/example)
endfunction()

# The Debian package of `make package`: what `make install` puts under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME twksetup)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "builds self-extracting installers for 32-bit Windows on Linux")
set(CPACK_PACKAGE_DESCRIPTION
    "twk builds installation files for 32-bit Windows from a plain-text\n\
script, lists, verifies, extracts and compares them, and runs them on a\n\
simulated Windows. The installer stubs it appends packages to come with it.")
set(CPACK_PACKAGE_CONTACT "${TWK_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# twk's debugging information is most of its size; the package leaves it out.
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The shared libraries twk links (libc, libstdc++, libdivsufsort) become the dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# make package leaves the package in build/package; cpack -B puts it elsewhere.
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/build/package)
include(CPack)
