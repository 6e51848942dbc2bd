# Install rules: the four libraries, their headers, a CMake package
# (find_package(OrvTimelineJson) -> Orv:: targets) and a pkg-config file, in
# two components: Runtime (the shared libraries, and the tool when it is
# built) and Development (headers, CMake and pkg-config files, the .so links).
include(CMakePackageConfigHelpers)

set(ORV_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/OrvTimelineJson")
set(ORV_LIBRARY_TARGETS BaseTypes CommonSerializationJson TimelineEngineModel TimelineEngineModelSerializationJson)

# Each library finds its siblings next to itself, so a tree installed under any
# prefix works without LD_LIBRARY_PATH (the linker may drop a sibling from a
# program's own needed list when the program calls nothing in it).
set_target_properties(${ORV_LIBRARY_TARGETS} PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS ${ORV_LIBRARY_TARGETS}
    EXPORT OrvTimelineJsonTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Runtime NAMELINK_COMPONENT Development
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT Development
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT Runtime)

install(DIRECTORY
        "${PROJECT_SOURCE_DIR}/include/"
        "${PROJECT_SOURCE_DIR}/BusinessEntityModel/BaseTypes/Includes/"
        "${PROJECT_SOURCE_DIR}/TimelineEngineModel/Core/Includes/"
        "${PROJECT_SOURCE_DIR}/TimelineEngineModel/Serialization/Includes/"
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
    COMPONENT Development
    FILES_MATCHING PATTERN "*.h")

install(EXPORT OrvTimelineJsonTargets
    NAMESPACE Orv::
    DESTINATION ${ORV_INSTALL_CMAKEDIR}
    COMPONENT Development)

configure_package_config_file(
    "${PROJECT_SOURCE_DIR}/cmake/OrvTimelineJsonConfig.cmake.in"
    "${PROJECT_BINARY_DIR}/OrvTimelineJsonConfig.cmake"
    INSTALL_DESTINATION ${ORV_INSTALL_CMAKEDIR})
write_basic_package_version_file(
    "${PROJECT_BINARY_DIR}/OrvTimelineJsonConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
install(FILES
        "${PROJECT_BINARY_DIR}/OrvTimelineJsonConfig.cmake"
        "${PROJECT_BINARY_DIR}/OrvTimelineJsonConfigVersion.cmake"
    DESTINATION ${ORV_INSTALL_CMAKEDIR}
    COMPONENT Development)

# The .pc file finds the prefix from its own place (${pcfiledir}), so that
# `cmake --install --prefix` and packaging under another prefix stay right.
file(RELATIVE_PATH ORV_PC_PREFIX_FROM_PCFILEDIR "/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/")
string(REGEX REPLACE "/$" "" ORV_PC_PREFIX_FROM_PCFILEDIR "${ORV_PC_PREFIX_FROM_PCFILEDIR}")
configure_file("${PROJECT_SOURCE_DIR}/cmake/orv-timeline-json.pc.in"
    "${PROJECT_BINARY_DIR}/orv-timeline-json.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/orv-timeline-json.pc"
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
    COMPONENT Development)

include(OrvPackaging)
