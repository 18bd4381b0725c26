# GoogleTest: Debian's packaged library natively; built from Debian's sources for the
# cross builds, where no prebuilt MinGW library exists.
function(project_use_gtest)
  if(TARGET GTest::gtest_main)
    return()
  endif()
  if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
endfunction()

# One ctest entry per test case natively; one per executable under Wine, where every
# start of a program costs seconds.
function(project_add_gtest target)
  project_use_gtest()
  target_link_libraries(${target} PRIVATE GTest::gtest_main)
  project_warnings(${target})
  # A test's own code is mostly assertion macros, where the optimiser spends most of the
  # build's time for nothing; the code under test keeps its libraries' flags.
  target_compile_options(${target} PRIVATE $<$<CONFIG:Release>:-O1>)
  # One compiler run per test program: the test framework's header is read once.
  set_target_properties(${target} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${target} COMMAND ${target})
  else()
    include(GoogleTest)
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
  endif()
endfunction()
