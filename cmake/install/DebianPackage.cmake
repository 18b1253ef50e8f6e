# The Debian package: `make package` (or `cpack -G DEB` in the build directory) turns what
# `cmake --install` installs under /usr into rds-toolkit_<version>_<arch>.deb. Dependencies come
# from the shared libraries the programs and librdsuecp link (dpkg-shlibdeps), so libsndfile is
# named with the version the build saw.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${RDS_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "RDS toolkit developers")
set(CPACK_PACKAGE_CONTACT "RDS toolkit developers <rds-toolkit@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Radio Data System (RDS) tools for FM broadcasting")
# Debian shows the long description as it stands: lines under 80 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Tools for the Radio Data System of FM broadcasting: tamsel drives RDS encoders\n"
  "with UECP frames over a serial line; brovik decodes captured RDS bit streams\n"
  "into block reports, station summaries and JSON; rds-encoder-sim simulates an\n"
  "RDS encoder and its FM multiplex; rds-capture-gen makes test captures;\n"
  "rds-demod demodulates recorded or live FM multiplex signals into RDS bits.\n"
  ".\n"
  "Also contains librdsuecp, a C++17 library that builds UECP message elements\n"
  "and frames, with its headers, CMake package configuration and pkg-config file.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# librdsuecp: a shlibs file for packages that link it, and ldconfig through a trigger as Debian
# asks. (CPack also writes maintainer scripts that call ldconfig: lintian-overrides.)
if(DEFINED RDSUECP_SOVERSION)
  file(WRITE ${PROJECT_BINARY_DIR}/debian/shlibs
       "librdsuecp ${RDSUECP_SOVERSION} ${RDS_PACKAGE_NAME} (= ${PROJECT_VERSION})\n")
  file(WRITE ${PROJECT_BINARY_DIR}/debian/triggers "activate-noawait ldconfig\n")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/shlibs
                                         ${PROJECT_BINARY_DIR}/debian/triggers)
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Files only the package carries (the Debian copyright and changelog, lintian's overrides) are
# added to the staged tree just before it is packed.
string(TIMESTAMP RDS_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP CPACK_RDS_PACKAGE_YEAR "%Y" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian-changelog.in
               ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
# CPack hands only CPACK_* variables on to the script.
set(CPACK_RDS_DEBIAN_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_RDS_DEBIAN_BINARY_DIR ${PROJECT_BINARY_DIR}/debian)
set(CPACK_RDS_LICENSE_FILE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RDS_DOC_DIR ${RDS_DOC_DIR})
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianExtras.cmake)

include(CPack)
