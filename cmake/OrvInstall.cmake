# Install rules: the four libraries, their headers, a CMake package
# (find_package(OrvTimelineJson) -> Orv:: targets), a pkg-config file, the JSON
# Schema of the documents and the documentation, in two components:
#   Runtime      the shared libraries, the tool (when it is built), the schema
#                and the documentation
#   Development  headers, the .so links, the CMake package and the pkg-config
#                file
# Every folder comes from GNUInstallDirs: configured with CMAKE_INSTALL_PREFIX
# /usr on Debian, the libraries, the CMake package and the pkg-config file go
# to lib/<multiarch triplet>; configured for any other prefix, to lib.
include(CMakePackageConfigHelpers)

set(ORV_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/OrvTimelineJson")
set(ORV_INSTALL_PKGCONFIGDIR "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
# The schema's path is named in the README: editors' settings and documents'
# own "$schema" members point at it, so it stays where it is.
set(ORV_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/orv-timeline-json")
set(ORV_INSTALL_SCHEMA "${ORV_INSTALL_DATADIR}/timeline.schema.json")
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
    INSTALL_DESTINATION ${ORV_INSTALL_CMAKEDIR}
    PATH_VARS ORV_INSTALL_SCHEMA)
write_basic_package_version_file(
    "${PROJECT_BINARY_DIR}/OrvTimelineJsonConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
install(FILES
        "${PROJECT_BINARY_DIR}/OrvTimelineJsonConfig.cmake"
        "${PROJECT_BINARY_DIR}/OrvTimelineJsonConfigVersion.cmake"
    DESTINATION ${ORV_INSTALL_CMAKEDIR}
    COMPONENT Development)

# The .pc file's prefix: /usr as it is, so that pkg-config leaves the system
# folders out of the flags; any other prefix found from the file's own place
# (${pcfiledir}), so that `cmake --install --prefix` and a moved tree stay
# right. Folders given as absolute paths are written as they are.
if(CMAKE_INSTALL_PREFIX MATCHES "^/usr/?$" OR IS_ABSOLUTE "${ORV_INSTALL_PKGCONFIGDIR}")
    set(ORV_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
    file(RELATIVE_PATH ORV_PC_PREFIX "/${ORV_INSTALL_PKGCONFIGDIR}" "/")
    string(REGEX REPLACE "/$" "" ORV_PC_PREFIX "\${pcfiledir}/${ORV_PC_PREFIX}")
endif()
foreach(dir LIBDIR INCLUDEDIR DATADIR)
    if(IS_ABSOLUTE "${CMAKE_INSTALL_${dir}}")
        set(ORV_PC_${dir} "${CMAKE_INSTALL_${dir}}")
    else()
        set(ORV_PC_${dir} "\${prefix}/${CMAKE_INSTALL_${dir}}")
    endif()
endforeach()
configure_file("${PROJECT_SOURCE_DIR}/cmake/orv-timeline-json.pc.in"
    "${PROJECT_BINARY_DIR}/orv-timeline-json.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/orv-timeline-json.pc"
    DESTINATION ${ORV_INSTALL_PKGCONFIGDIR}
    COMPONENT Development)

# The schema and the documents belong to the runtime package: they describe
# the document format and the tool, which that package holds, and serve
# editors and programs in any language that read or write timeline documents,
# none of which need the C++ headers; the -dev package depends on the runtime
# one at the same version, so developers have them as well. The documents keep
# the source tree's layout (README.md beside docs/), so their links between
# pages and to the figures hold in the installed copy. The manual page has its
# own rule with the tool.
install(FILES "${PROJECT_SOURCE_DIR}/docs/timeline.schema.json"
    DESTINATION ${ORV_INSTALL_DATADIR}
    COMPONENT Runtime)
install(FILES "${PROJECT_SOURCE_DIR}/README.md"
    DESTINATION ${CMAKE_INSTALL_DOCDIR}
    COMPONENT Runtime)
install(DIRECTORY "${PROJECT_SOURCE_DIR}/docs/"
    DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs
    COMPONENT Runtime
    FILES_MATCHING PATTERN "*.md" PATTERN "*.svg")

include(OrvPackaging)
