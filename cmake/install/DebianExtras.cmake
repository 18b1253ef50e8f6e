# Run by CPack on the staged trees before it packs the .debs: adds the files Debian wants in
# every package that a plain `cmake --install` has no use for: in /usr/share/doc/<package>/ the
# copyright and the changelog, and lintian's overrides for a package that needs them.
find_program(gzip_program gzip REQUIRED)

# The copyright: who holds it and the licence text, from LICENSE when the sources have one.
string(CONCAT copyright "${CPACK_PACKAGE_NAME}, packaged by its own developers.\n\n"
       "Copyright ${CPACK_RDS_PACKAGE_YEAR} ${CPACK_PACKAGE_VENDOR}\n\n")
if(EXISTS "${CPACK_RDS_LICENSE_FILE}")
  file(READ "${CPACK_RDS_LICENSE_FILE}" license)
  string(APPEND copyright "${license}")
else()
  string(APPEND copyright "The sources carried no LICENSE file when this package was built.\n")
endif()

foreach(component package IN ZIP_LISTS CPACK_RDS_COMPONENTS CPACK_RDS_PACKAGES)
  if(NOT package)
    continue()  # a build without the library packs the programs alone
  endif()
  set(stage "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${component}${CPACK_PACKAGING_INSTALL_PREFIX}")
  set(doc "${stage}/${CPACK_RDS_DOC_ROOT}/${package}")
  file(MAKE_DIRECTORY "${doc}")
  file(WRITE "${doc}/copyright" "${copyright}")

  # The Debian changelog, compressed as policy asks (no name or time stamp inside the gzip); a
  # package made by the software's own developers (a native package) calls it changelog.gz.
  set(RDS_CHANGELOG_PACKAGE ${package})
  configure_file("${CPACK_RDS_DEBIAN_BINARY_DIR}/changelog.in"
                 "${CPACK_RDS_DEBIAN_BINARY_DIR}/changelog-${package}" @ONLY)
  execute_process(
    COMMAND "${gzip_program}" -9nc "${CPACK_RDS_DEBIAN_BINARY_DIR}/changelog-${package}"
    OUTPUT_FILE "${doc}/changelog.gz"
    RESULT_VARIABLE gzip_result)
  if(NOT gzip_result EQUAL 0)
    message(FATAL_ERROR "cannot compress the Debian changelog: ${gzip_result}")
  endif()

  # Lintian's overrides, each with its reason (docs/install.md lists them too).
  set(overrides "${CPACK_RDS_DEBIAN_SOURCE_DIR}/lintian-overrides-${component}")
  if(EXISTS "${overrides}")
    file(MAKE_DIRECTORY "${stage}/share/lintian/overrides")
    configure_file("${overrides}" "${stage}/share/lintian/overrides/${package}" COPYONLY)
  endif()
endforeach()
