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

# Code that is mostly JSON records and command lines spends its compile time in these
# headers' templates, once per source file and again in the optimiser: such a target is
# compiled as one unit (UNITY) and, in release builds, at -O1; what it does takes no
# measurable time beside the engines it drives.
function(project_record_code target)
  cmake_parse_arguments(ARG "UNITY" "" "" ${ARGN})
  if(ARG_UNITY)
    set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
  endif()
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-O1>)
endfunction()
