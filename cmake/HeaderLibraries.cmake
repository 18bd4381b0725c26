# CLI11 (command lines) and nlohmann/json (match records), both header-only Debian packages.
# Their headers are reached through a folder of links in the build tree, never through
# /usr/include itself: the Windows cross builds must not see the host's C library headers.
set(header_libraries_dir ${CMAKE_BINARY_DIR}/header-libraries)
file(MAKE_DIRECTORY ${header_libraries_dir})
foreach(entry "CLI;CLI/CLI.hpp;libcli11-dev;cli11_headers"
              "nlohmann;nlohmann/json.hpp;nlohmann-json3-dev;json_headers")
  list(GET entry 0 folder)
  list(GET entry 1 header)
  list(GET entry 2 package)
  list(GET entry 3 target)
  find_path(${target}_root ${header} PATHS /usr/include /usr/local/include NO_DEFAULT_PATH
            NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ${target}_root)
    message(FATAL_ERROR "${header} not found: install ${package} (scripts/setup.sh does)")
  endif()
  if(NOT EXISTS ${header_libraries_dir}/${folder})
    file(CREATE_LINK ${${target}_root}/${folder} ${header_libraries_dir}/${folder} SYMBOLIC)
  endif()
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${header_libraries_dir})
endforeach()
