# What `cmake --install` puts where, and the Debian package CPack makes of it (`make package`).
include(GNUInstallDirs)

# Debian ships manual pages compressed; -n keeps the file's name and time out of the archive, so
# the same page always gives the same bytes.
set(man_pages quillmesh-terminal.1 quillmesh-demo-backend.1)
set(compressed_man_pages "")
foreach(page IN LISTS man_pages)
  set(compressed ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/docs/${page} ${compressed}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/${page}
    VERBATIM)
  list(APPEND compressed_man_pages ${compressed})
endforeach()
# Debian's changelog, compressed the same way; the package is native, so it is changelog.gz.
set(compressed_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(
  OUTPUT ${compressed_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${PROJECT_SOURCE_DIR}/packaging/changelog
          ${compressed_changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(compressed_documents ALL DEPENDS ${compressed_man_pages} ${compressed_changelog})

install(TARGETS quillmesh-terminal quillmesh-demo-backend RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${compressed_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/completions/quillmesh-terminal.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
        RENAME quillmesh-terminal)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/packaging/copyright
              ${compressed_changelog}
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/examples/demo-session.json
              ${PROJECT_SOURCE_DIR}/examples/README.md
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmesh-terminal)
set(CPACK_PACKAGE_CONTACT "quillmesh-terminal developers <developers@quillmesh-terminal.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "full-screen terminal viewer of a ROS 2 workspace")
# Debian shows the long description as it is: each line at most 80 columns.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Shows what a backend has observed of a ROS 2 workspace - graph, topics,\n\
frames, rates, launch state, checks, recordings and experiments - in ten\n\
views, and turns keys into requests for that backend. Includes a demo\n\
backend that simulates a robot.")
set(CPACK_PACKAGE_LICENSE "Apache-2.0")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The dependencies are the Debian packages of the shared libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
