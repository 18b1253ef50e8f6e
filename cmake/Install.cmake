# What `cmake --install` puts where (with --prefix and DESTDIR), and the Debian packages built
# from it (`make package`). docs/install.md describes the result.

# On Debian and its derivatives libraries go to the multiarch folder (lib/x86_64-linux-gnu) under
# any prefix, as Debian's packages have them; the linker, pkg-config and CMake look there also
# under /usr/local.
if(NOT DEFINED CMAKE_INSTALL_LIBDIR AND CMAKE_LIBRARY_ARCHITECTURE AND EXISTS /etc/debian_version)
  set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}
      CACHE PATH "Object code libraries (lib/<multiarch>)")
endif()
include(GNUInstallDirs)

set(RDS_PROGRAMS tamsel brovik rds-encoder-sim rds-demod rds-capture-gen)
# The package's name, also the folder of its documentation under share/doc/.
set(RDS_PACKAGE_NAME rds-toolkit)
set(RDS_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/${RDS_PACKAGE_NAME})

# Programs a build lacks (the Windows cross build has no libsndfile, so no MPX tools) are skipped.
foreach(program IN LISTS RDS_PROGRAMS)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
  endif()
endforeach()

# The library, manual pages and completion are for Unix-like systems; sanitizer and fuzzing
# builds are never installed, so they skip building them.
if(WIN32 OR RDS_SANITIZE OR RDS_BUILD_FUZZ)
  return()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/install/UecpLibrary.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/install/ManPages.cmake)

# Bash completion: one script for every program, under each program's name so that
# bash-completion finds it when the program is first completed.
foreach(program IN LISTS RDS_PROGRAMS)
  install(FILES ${PROJECT_SOURCE_DIR}/completion/rds-toolkit.bash
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions
          RENAME ${program} COMPONENT tools)
endforeach()

# Documentation: README, the reference pages, the licence and changes once the tree has them,
# and the example that builds a frame with the installed library.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${RDS_DOC_DIR} COMPONENT tools)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${RDS_DOC_DIR}/docs COMPONENT tools
        FILES_MATCHING PATTERN "*.md")
foreach(document LICENSE CHANGES.md)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${document})
    install(FILES ${PROJECT_SOURCE_DIR}/${document} DESTINATION ${RDS_DOC_DIR} COMPONENT tools)
  endif()
endforeach()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${RDS_DOC_DIR}/examples
        COMPONENT uecp_dev)
install(FILES ${PROJECT_SOURCE_DIR}/samples/rds-in.txt DESTINATION ${RDS_DOC_DIR}/examples
        COMPONENT tools)

include(${CMAKE_CURRENT_LIST_DIR}/install/DebianPackage.cmake)
