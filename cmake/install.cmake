# Installs the libraries, their public headers, the CMake package `hexmap` (targets
# hexmap::hexmap and hexmap::raster, with a version file) and the pkg-config files `hexmap` and
# `hexmap-raster`. Programs install themselves through hexmap_install_program.
include(CMakePackageConfigHelpers)

set(package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/hexmap)

install(TARGETS hexmap raster EXPORT hexmapTargets LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
foreach(library hexmap raster)
  get_target_property(headers ${library} HEXMAP_PUBLIC_HEADERS)
  foreach(header IN LISTS headers)
    get_filename_component(folder ${header} DIRECTORY)
    install(FILES ${PROJECT_SOURCE_DIR}/${header}
            DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/${folder})
  endforeach()
endforeach()

install(EXPORT hexmapTargets NAMESPACE hexmap:: DESTINATION ${package_dir})
configure_package_config_file(cmake/hexmapConfig.cmake.in ${PROJECT_BINARY_DIR}/hexmapConfig.cmake
                              INSTALL_DESTINATION ${package_dir})
# Before 1.0 a minor version may change the interface, so only patch releases are compatible.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/hexmapConfigVersion.cmake
                                 COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/hexmapConfig.cmake ${PROJECT_BINARY_DIR}/hexmapConfigVersion.cmake
        DESTINATION ${package_dir})

# The .pc files locate the prefix from their own folder, so `cmake --install --prefix` may put
# the tree anywhere, and their Libs carry that folder as the run-time path, so that programs
# built with them find the libraries there. pkg-config looks in PREFIX/lib/pkgconfig for the
# prefixes /usr and /usr/local; for any other, PKG_CONFIG_PATH names the folder.
file(RELATIVE_PATH pc_to_prefix ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
foreach(pc hexmap hexmap-raster)
  configure_file(cmake/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
