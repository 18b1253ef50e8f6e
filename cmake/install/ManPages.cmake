# The manual pages of man/, compressed as Debian installs them (gzip -9n: no name or time stamp
# inside, so the same page always gives the same bytes) and installed under share/man/manN.
find_program(GZIP_PROGRAM gzip)
if(NOT GZIP_PROGRAM)
  message(FATAL_ERROR "gzip not found: it compresses the manual pages")
endif()
file(GLOB rds_man_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/*.[1-8])
set(rds_compressed_pages)
foreach(page IN LISTS rds_man_pages)
  get_filename_component(page_name ${page} NAME)
  string(REGEX REPLACE ".*\\.([1-8])$" "\\1" section ${page_name})
  set(compressed ${PROJECT_BINARY_DIR}/man/${page_name}.gz)
  add_custom_command(
    OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
    COMMAND sh -c "\"$1\" -9nc \"$2\" > \"$3\"" sh ${GZIP_PROGRAM} ${page} ${compressed}
    DEPENDS ${page}
    COMMENT "Compressing manual page ${page_name}"
    VERBATIM)
  list(APPEND rds_compressed_pages ${compressed})
  if(section STREQUAL "3")
    set(component uecp_dev)
  else()
    set(component tools)
  endif()
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section}
          COMPONENT ${component})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${rds_compressed_pages})
