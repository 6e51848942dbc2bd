# Read by cpack for each generator it runs (CPACK_PROJECT_CONFIG_FILE).
# Debian puts libraries in /usr/lib/<multiarch triplet>, which GNUInstallDirs
# chooses only for a build configured with CMAKE_INSTALL_PREFIX=/usr: a Debian
# package made from a build configured for another prefix would install them
# into /usr/lib, so none is made from it.
if(CPACK_GENERATOR STREQUAL "DEB" AND CPACK_ORV_DEBIAN_LIBDIR
   AND NOT CPACK_ORV_LIBDIR STREQUAL CPACK_ORV_DEBIAN_LIBDIR)
    message(FATAL_ERROR "CMAKE_INSTALL_LIBDIR is ${CPACK_ORV_LIBDIR}, Debian packages need "
        "${CPACK_ORV_DEBIAN_LIBDIR}: configure the build with -DCMAKE_INSTALL_PREFIX=/usr to make them.")
endif()
