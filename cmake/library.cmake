# The shape shared by the engine and the graphics layer, and the hook that installs programs.

# hexmap_add_library(NAME OUTPUT_NAME file SYMBOLS version-script
#                    PUBLIC_HEADERS header... SOURCES source...)
# Compiles the sources once (NAME_objects) and makes of them
#  - NAME (alias hexmap::NAME): the shared library users get (static where the platform has no
#    shared libraries, as in a WebAssembly build). It exports only what its version
#    script lists, its SONAME carries the project's major.minor version, and its users see the
#    public headers alone: a folder of links to them stands in for the installed include folder.
#  - NAME_internal: a static library of the same objects with the whole source tree on its
#    include path, built only for in-tree code (tests, tools) that reaches behind the public
#    headers. A program links one of the two forms, never both: each holds its own state.
function(hexmap_add_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "OUTPUT_NAME;SYMBOLS" "PUBLIC_HEADERS;SOURCES")

  add_library(${name}_objects OBJECT ${arg_SOURCES})
  set_target_properties(${name}_objects PROPERTIES
    POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  # No shared libraries in a WebAssembly build: position-independent code would only reach every
  # global through an indirection.
  if(EMSCRIPTEN)
    set_target_properties(${name}_objects PROPERTIES POSITION_INDEPENDENT_CODE OFF)
  endif()
  target_include_directories(${name}_objects PUBLIC ${PROJECT_SOURCE_DIR})

  set(public_root ${PROJECT_BINARY_DIR}/public-include/${name})
  set(installed_headers)
  foreach(header IN LISTS arg_PUBLIC_HEADERS)
    file(RELATIVE_PATH path ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/${header})
    get_filename_component(folder ${public_root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${public_root}/${path}
         SYMBOLIC COPY_ON_ERROR)
    list(APPEND installed_headers ${path})
  endforeach()

  get_property(shared GLOBAL PROPERTY TARGET_SUPPORTS_SHARED_LIBS)
  if(shared)
    add_library(${name} SHARED $<TARGET_OBJECTS:${name}_objects>)
    target_link_options(${name} PRIVATE -Wl,--version-script=${arg_SYMBOLS})
  else()
    add_library(${name} STATIC $<TARGET_OBJECTS:${name}_objects>)
  endif()
  add_library(hexmap::${name} ALIAS ${name})
  target_include_directories(${name} PUBLIC
    $<BUILD_INTERFACE:${public_root}> $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  target_compile_features(${name} PUBLIC cxx_std_20)
  set_target_properties(${name} PROPERTIES
    OUTPUT_NAME ${arg_OUTPUT_NAME}
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}
    LINK_DEPENDS ${arg_SYMBOLS}
    INSTALL_RPATH $ORIGIN
    HEXMAP_PUBLIC_HEADERS "${installed_headers}")

  add_library(${name}_internal STATIC EXCLUDE_FROM_ALL $<TARGET_OBJECTS:${name}_objects>)
  target_include_directories(${name}_internal PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_features(${name}_internal PUBLIC cxx_std_20)
endfunction()

# hexmap_install_program(target): installs a program of this project (the `hexmap` tool) beside
# the libraries; it finds them relative to itself, so the installed tree can move.
function(hexmap_install_program target)
  file(RELATIVE_PATH to_libraries ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH $ORIGIN/${to_libraries})
  if(HEXMAP_INSTALL)
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endfunction()
