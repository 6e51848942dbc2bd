# Debian packages through CPack (`cpack -G DEB` in a build directory configured
# with -DCMAKE_INSTALL_PREFIX=/usr, see OrvCPackProject.cmake):
#   orv-timeline-json      the Runtime component: versioned shared libraries,
#                          the orv-timeline-json tool, the JSON Schema and the
#                          documentation
#   orv-timeline-json-dev  the Development component: headers, the .so links,
#                          the CMake package and the pkg-config file
set(CPACK_PACKAGE_NAME "orv-timeline-json")
set(CPACK_PACKAGE_VENDOR "Orv")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "Orv timeline JSON maintainers <orv-timeline-json@localhost>")
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_COMPONENTS_ALL Runtime Development)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/cmake/OrvCPackProject.cmake")
set(CPACK_ORV_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
if(CMAKE_LIBRARY_ARCHITECTURE)
    set(CPACK_ORV_DEBIAN_LIBDIR "lib/${CMAKE_LIBRARY_ARCHITECTURE}")
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME "orv-timeline-json")
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The extended descriptions; CPack puts the package summary above them.
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "Shared libraries and the orv-timeline-json tool. The libraries convert
the timeline model of a timeline engine (timelines, tracks, track items,
transition effects, media infos) to JSON text and back; the tool checks,
formats, compares and generates timeline documents. Also the JSON Schema of
the documents, for editors and validators, and the documentation.")
# Dependencies (jsoncpp, simdjson, the C++ runtime) come from dpkg-shlibdeps; the
# package's own libraries are found in the staging tree.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY "=")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME "orv-timeline-json-dev")
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
# The headers include jsoncpp's, and the CMake package and the pkg-config file
# name it. simdjson, linked privately, is only the runtime package's concern.
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_DEPENDS
    "orv-timeline-json (= ${PROJECT_VERSION}), libjsoncpp-dev")
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION "Development files of the timeline JSON libraries: headers, the CMake
package (find_package(OrvTimelineJson), target
Orv::TimelineEngineModelSerializationJson) and the pkg-config file
(orv-timeline-json).")

include(CPack)
