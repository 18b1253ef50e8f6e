# The UECP library as other projects use it: librdsuecp, static and shared, built from the same
# sources as the tree's rds_uecp plus the platform's clock calls, which the clock-time elements
# need. Inside the tree the clock stays a separate library so that tests can link a fake clock in
# its place; an outside user gets one self-contained library instead.
#
# Headers go to include/rds-toolkit/ with the tree's layout beneath ("uecp/uecp.h" and the two
# platform headers it reaches), so the same #include lines work inside and outside the tree
# without a top-level "platform/" folder in the system's include directory.
include(GNUInstallDirs)

# The sources of rds_uecp, so that element files added there join the installed library too.
get_target_property(rds_uecp_listed_sources rds_uecp SOURCES)
get_target_property(rds_uecp_source_dir rds_uecp SOURCE_DIR)
set(rdsuecp_sources)
foreach(source IN LISTS rds_uecp_listed_sources)
  if(NOT IS_ABSOLUTE "${source}")
    set(source "${rds_uecp_source_dir}/${source}")
  endif()
  list(APPEND rdsuecp_sources "${source}")
endforeach()
# Installed on Unix-like systems only (cmake/Install.cmake), so the clock is the POSIX one.
list(APPEND rdsuecp_sources ${PROJECT_SOURCE_DIR}/platform/clock_linux.cpp)

# Before 1.0 any minor release may change the ABI, so the SONAME carries major and minor.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(RDSUECP_SOVERSION "0.${PROJECT_VERSION_MINOR}")
else()
  set(RDSUECP_SOVERSION "${PROJECT_VERSION_MAJOR}")
endif()

set(RDSUECP_INCLUDE_SUBDIR "${CMAKE_INSTALL_INCLUDEDIR}/rds-toolkit")
set(RDSUECP_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/RdsUecp")

foreach(kind shared static)
  string(TOUPPER ${kind} library_type)
  set(target rdsuecp_${kind})
  add_library(${target} ${library_type} ${rdsuecp_sources})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME rdsuecp)
  target_include_directories(
    ${target} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>
                     $<INSTALL_INTERFACE:${RDSUECP_INCLUDE_SUBDIR}>)
  target_compile_features(${target} PUBLIC cxx_std_17)
endforeach()
set_target_properties(rdsuecp_shared PROPERTIES EXPORT_NAME uecp VERSION ${PROJECT_VERSION}
                                                SOVERSION ${RDSUECP_SOVERSION})
# The static library may end up inside a user's shared library.
set_target_properties(rdsuecp_static PROPERTIES EXPORT_NAME uecp_static
                                                POSITION_INDEPENDENT_CODE ON)

install(
  TARGETS rdsuecp_shared rdsuecp_static
  EXPORT RdsUecpTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT uecp_runtime NAMELINK_COMPONENT uecp_dev
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT uecp_dev)

# Every header of uecp/ but the byte-order helper only its sources use, and the two platform
# headers the clock-time values declare their records in.
file(GLOB rdsuecp_headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/uecp/*.h)
list(REMOVE_ITEM rdsuecp_headers ${PROJECT_SOURCE_DIR}/uecp/big_endian.h)
install(FILES ${rdsuecp_headers} DESTINATION ${RDSUECP_INCLUDE_SUBDIR}/uecp COMPONENT uecp_dev)
install(FILES ${PROJECT_SOURCE_DIR}/platform/clock.h ${PROJECT_SOURCE_DIR}/platform/win_types.h
        DESTINATION ${RDSUECP_INCLUDE_SUBDIR}/platform COMPONENT uecp_dev)

# find_package(RdsUecp CONFIG) -> RdsUecp::uecp (shared) and RdsUecp::uecp_static.
include(CMakePackageConfigHelpers)
install(EXPORT RdsUecpTargets NAMESPACE RdsUecp:: DESTINATION ${RDSUECP_CMAKE_DIR}
        COMPONENT uecp_dev)
configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/RdsUecpConfig.cmake.in
  ${PROJECT_BINARY_DIR}/install/RdsUecpConfig.cmake INSTALL_DESTINATION ${RDSUECP_CMAKE_DIR})
# Before 1.0 a different minor version is a different ABI, as for the SONAME.
if(PROJECT_VERSION_MAJOR EQUAL 0)
  set(rdsuecp_compatibility SameMinorVersion)
else()
  set(rdsuecp_compatibility SameMajorVersion)
endif()
write_basic_package_version_file(${PROJECT_BINARY_DIR}/install/RdsUecpConfigVersion.cmake
                                 COMPATIBILITY ${rdsuecp_compatibility})
install(FILES ${PROJECT_BINARY_DIR}/install/RdsUecpConfig.cmake
              ${PROJECT_BINARY_DIR}/install/RdsUecpConfigVersion.cmake
        DESTINATION ${RDSUECP_CMAKE_DIR} COMPONENT uecp_dev)

# pkg-config --cflags --libs rdsuecp. The prefix is filled in while installing, so that
# `cmake --install --prefix` and the package's /usr both get the right one; the file is written
# straight to its destination, so that installs into different prefixes can run at once.
set(RDSUECP_PC_PREFIX "@RDSUECP_PC_PREFIX@")
configure_file(${CMAKE_CURRENT_LIST_DIR}/rdsuecp.pc.in ${PROJECT_BINARY_DIR}/install/rdsuecp.pc.in
               @ONLY)
install(
  CODE "set(RDSUECP_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
        set(pc_file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/pkgconfig/rdsuecp.pc\")
        message(STATUS \"Installing: \${pc_file}\")
        configure_file(\"${PROJECT_BINARY_DIR}/install/rdsuecp.pc.in\" \"\${pc_file}\" @ONLY)
        list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${pc_file}\")"
  COMPONENT uecp_dev)
