# The Debian packages: `make package` (or `cpack -G DEB` in the build directory) turns what
# `cmake --install` installs under /usr into three packages, as Debian splits a library:
#   rds-toolkit      the programs, their manual pages, completion and documentation
#   librdsuecp<SO>   the shared UECP library (SO: its SONAME version, e.g. 0.1)
#   librdsuecp-dev   headers, static library, CMake and pkg-config files, the library's page
# Dependencies come from the shared libraries each links (dpkg-shlibdeps), so libsndfile is named
# with the version the build saw.
set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_PACKAGE_NAME ${RDS_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "RDS toolkit developers")
set(CPACK_PACKAGE_CONTACT "RDS toolkit developers <rds-toolkit@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# Debian shows a long description as it stands: lines under 80 columns.
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME ${RDS_PACKAGE_NAME})
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION comm)
set(CPACK_COMPONENT_TOOLS_DESCRIPTION
    "Radio Data System (RDS) tools for FM broadcasting
Tools for the Radio Data System of FM broadcasting: tamsel drives RDS encoders
with UECP frames over a serial line; brovik decodes captured RDS bit streams
into block reports, station summaries and JSON; rds-encoder-sim simulates an
RDS encoder and its FM multiplex; rds-capture-gen makes test captures;
rds-demod demodulates recorded or live FM multiplex signals into RDS bits.")
set(rds_packages ${RDS_PACKAGE_NAME})

if(DEFINED RDSUECP_SOVERSION)
  set(runtime_package librdsuecp${RDSUECP_SOVERSION})
  set(CPACK_DEBIAN_UECP_RUNTIME_PACKAGE_NAME ${runtime_package})
  set(CPACK_DEBIAN_UECP_RUNTIME_PACKAGE_SECTION libs)
  set(CPACK_COMPONENT_UECP_RUNTIME_DESCRIPTION
      "UECP library for RDS encoders
librdsuecp builds the message elements and frames of the Universal Encoder
Communication Protocol (UECP) that RDS encoders of FM broadcasting take on a
serial line or TCP, exact to the byte: CRC, byte stuffing, clock-time groups.
.
This package holds the shared library.")
  set(CPACK_DEBIAN_UECP_DEV_PACKAGE_NAME librdsuecp-dev)
  set(CPACK_DEBIAN_UECP_DEV_PACKAGE_SECTION libdevel)
  set(CPACK_COMPONENT_UECP_DEV_DESCRIPTION
      "UECP library for RDS encoders: development files
librdsuecp builds the message elements and frames of the Universal Encoder
Communication Protocol (UECP) that RDS encoders of FM broadcasting take on a
serial line or TCP, exact to the byte: CRC, byte stuffing, clock-time groups.
.
This package holds the headers, the static library, the CMake package
configuration (find_package(RdsUecp)), the pkg-config file and an example.")
  # The headers and the .so link belong to exactly this version of the shared library.
  set(CPACK_COMPONENT_UECP_DEV_DEPENDS uecp_runtime)
  set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
  list(APPEND rds_packages ${runtime_package} librdsuecp-dev)

  # A shlibs file for packages that link librdsuecp, and ldconfig through a trigger as Debian
  # asks. CPack adds maintainer scripts that call ldconfig too, whatever the package brings
  # (lintian-overrides-uecp_runtime).
  file(WRITE ${PROJECT_BINARY_DIR}/debian/shlibs
       "librdsuecp ${RDSUECP_SOVERSION} ${runtime_package} (>= ${PROJECT_VERSION})\n")
  file(WRITE ${PROJECT_BINARY_DIR}/debian/triggers "activate-noawait ldconfig\n")
  set(CPACK_DEBIAN_UECP_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_BINARY_DIR}/debian/shlibs
                                                      ${PROJECT_BINARY_DIR}/debian/triggers)
endif()

# Files only the packages carry (the Debian copyright and changelog) are added to the staged
# trees just before they are packed.
string(TIMESTAMP RDS_PACKAGE_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
string(TIMESTAMP CPACK_RDS_PACKAGE_YEAR "%Y" UTC)
# The package's name is filled in for each package when it is packed.
set(RDS_CHANGELOG_PACKAGE "@RDS_CHANGELOG_PACKAGE@")
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian-changelog.in
               ${PROJECT_BINARY_DIR}/debian/changelog.in @ONLY)
# CPack hands only CPACK_* variables on to the script.
set(CPACK_RDS_DEBIAN_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(CPACK_RDS_DEBIAN_BINARY_DIR ${PROJECT_BINARY_DIR}/debian)
set(CPACK_RDS_LICENSE_FILE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RDS_DOC_ROOT ${CMAKE_INSTALL_DATAROOTDIR}/doc)
set(CPACK_RDS_PACKAGES ${rds_packages})
set(CPACK_RDS_COMPONENTS tools uecp_runtime uecp_dev)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/DebianExtras.cmake)

include(CPack)
