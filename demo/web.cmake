# The demo as a web page (a WebAssembly build): HEXMAP_WEB_DIR receives index.html, the
# program's .js and .wasm, and its data files packed into one .data file.
#
# The data files are drawn by a native build of the generator in host/: a program compiled to
# WebAssembly cannot run at build time.
set(HEXMAP_WEB_DIR ${PROJECT_BINARY_DIR}/page CACHE PATH "Folder of the demo's web page")
set(HEXMAP_HOST_CXX c++ CACHE STRING "Native C++ compiler for the build-time generator")

include(ExternalProject)
set(host_dir ${PROJECT_BINARY_DIR}/host)
set(DEMO_RUN_DIR ${host_dir}/demo/run CACHE INTERNAL "Run folder of the demo")
set(DEMO_DATA_FILES ${DEMO_RUN_DIR}/demo_6way.bmp ${DEMO_RUN_DIR}/demo_frame.bmp
  ${DEMO_RUN_DIR}/demo_tiles.bmp ${DEMO_RUN_DIR}/demo_map.txt)
ExternalProject_Add(demo_assets
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${host_dir}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=${HEXMAP_HOST_CXX}
    -DHEXMAP_BUILD_TESTS=OFF -DHEXMAP_BUILD_TOOLS=OFF -DHEXMAP_BUILD_EXAMPLES=OFF
    -DHEXMAP_INSTALL=OFF
  BUILD_COMMAND ${CMAKE_COMMAND} --build ${host_dir} --target demo_assets
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${DEMO_DATA_FILES}
  INSTALL_COMMAND "")

add_executable(hexmap_demo web_main.cpp)
target_link_libraries(hexmap_demo PRIVATE demo_core)
add_dependencies(hexmap_demo demo_assets)
# The run folder becomes the root of the program's file system, where it looks for its files.
# EXIT_RUNTIME lets the page learn the exit status (Escape, or a fatal error) and show it.
target_link_options(hexmap_demo PRIVATE
  --preload-file ${DEMO_RUN_DIR}@/
  -sENVIRONMENT=web -sALLOW_MEMORY_GROWTH=1 -sEXIT_RUNTIME=1)
set_target_properties(hexmap_demo PROPERTIES
  RUNTIME_OUTPUT_DIRECTORY ${HEXMAP_WEB_DIR}
  LINK_DEPENDS "${DEMO_DATA_FILES}")
foreach(file index.html favicon.svg)
  configure_file(web/${file} ${HEXMAP_WEB_DIR}/${file} COPYONLY)
endforeach()
