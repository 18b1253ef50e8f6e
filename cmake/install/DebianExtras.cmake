# Run by CPack on the staged tree before it packs the .deb: adds the files Debian wants in every
# package that a plain `cmake --install` has no use for.
set(stage "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT IS_DIRECTORY "${stage}")
  # Some CPack versions stage without the prefix folder.
  set(stage "${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
set(doc "${stage}/${CPACK_RDS_DOC_DIR}")

# debian/copyright: who holds the copyright and the licence text, from LICENSE when the sources
# have one.
string(CONCAT copyright "${CPACK_PACKAGE_NAME}, packaged by its own developers.\n\n"
       "Copyright ${CPACK_RDS_PACKAGE_YEAR} ${CPACK_PACKAGE_VENDOR}\n\n")
if(EXISTS "${CPACK_RDS_LICENSE_FILE}")
  file(READ "${CPACK_RDS_LICENSE_FILE}" license)
  string(APPEND copyright "${license}")
else()
  string(APPEND copyright "The sources carried no LICENSE file when this package was built.\n")
endif()
file(WRITE "${doc}/copyright" "${copyright}")

# The Debian changelog, compressed as policy asks (no name or time stamp inside the gzip); a
# package made by the software's own developers (a native package) calls it changelog.gz.
find_program(gzip_program gzip REQUIRED)
execute_process(
  COMMAND "${gzip_program}" -9nc "${CPACK_RDS_DEBIAN_BINARY_DIR}/changelog"
  OUTPUT_FILE "${doc}/changelog.gz"
  RESULT_VARIABLE gzip_result)
if(NOT gzip_result EQUAL 0)
  message(FATAL_ERROR "cannot compress the Debian changelog: ${gzip_result}")
endif()

# Lintian's overrides, each with the reason beside it (docs/install.md explains them too).
file(COPY "${CPACK_RDS_DEBIAN_SOURCE_DIR}/lintian-overrides" DESTINATION "${stage}/share/lintian/overrides")
file(RENAME "${stage}/share/lintian/overrides/lintian-overrides"
     "${stage}/share/lintian/overrides/${CPACK_PACKAGE_NAME}")
