# The release archive of a Windows build: `cpack` in the build folder (scripts/dist.sh does
# both architectures) makes VantryOrbello-VERSION-ARCH.zip. It unpacks into one folder with
# the programs, Orbello.dll, the module's data folder and README.txt, the guide for the
# person who installs them.

# What goes into the archive: each target, then what the guide says about its file. A new
# program is one more pair here.
set(RELEASE_PROGRAMS
  orbello
  "The Orbello game module, loaded by the platform (or by orbello-host)."
  vantry
  "Vantry, the Dots-and-Boxes engine (6 x 6 dots) that the platform starts."
  vantry-strong
  "Vantry's strong player, the same protocol: exact endgames, a fight for control before."
  orbello-engine
  "The Orbello engine: speaks the Orbello engine protocol on its standard streams."
  orbello-host
  "A window to play Orbello against OrbelloEngine.exe (B or W: your colour, T: its time)."
  dab-host
  "A window to play Dots and Boxes against VantryStrong.exe or Vantry.exe beside it."
  dab-referee
  "Plays Dots-and-Boxes engines against each other and names every fault (--help)."
  dab-opponent
  "Simple Dots-and-Boxes engines to play against: dab-opponent random|greedy|chain."
  vantry-bench
  "Measures Vantry's search speed on this computer."
  orbello-referee
  "Plays Orbello engines against each other, every move judged by Orbello.dll (--help)."
  orbello-opponent
  "Simple Orbello engines to play against: orbello-opponent random|greedy."
  orbello-bench
  "Measures the Orbello engine's speed (and counts moves: --perft N)."
  match-report
  "Merges the logs of a match played in parts (referees' --first-game) into its report.")

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(RELEASE_ARCH x64)
else()
  set(RELEASE_ARCH x86)
endif()

set(release_targets "")
set(RELEASE_FILE_LIST "")
list(LENGTH RELEASE_PROGRAMS count)
math(EXPR last "${count} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET RELEASE_PROGRAMS ${i} target)
  list(GET RELEASE_PROGRAMS ${j} what)
  if(NOT TARGET ${target})
    message(FATAL_ERROR "RELEASE_PROGRAMS names ${target}, which this build does not define")
  endif()
  list(APPEND release_targets ${target})
  string(APPEND RELEASE_FILE_LIST "$<TARGET_FILE_NAME:${target}>\n    ${what}\n")
endforeach()
# The files alone (no import library of the DLL), without the debugging sections that the
# static runtime brings along, which would more than double the download.
foreach(target ${release_targets})
  install(PROGRAMS $<TARGET_FILE:${target}> DESTINATION .)
  if(CMAKE_STRIP)
    install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\"
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/$<TARGET_FILE_NAME:${target}>\")")
  endif()
endforeach()
install(DIRECTORY ${ORBELLO_DATA_DIR}/ DESTINATION data)

# The guide: the file list at generate time (file names come from the targets), the
# version at build time (it holds the commit).
set(VERSION_TEXT "@VERSION_TEXT@")
set_property(DIRECTORY APPEND PROPERTY
  CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/release-guide.txt.in)
file(READ ${CMAKE_CURRENT_LIST_DIR}/release-guide.txt.in guide)
string(CONFIGURE "${guide}" guide @ONLY)
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/release/README.txt.in CONTENT "${guide}")
add_custom_target(release_guide ALL
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DVERSION=${PROJECT_VERSION}
          -DIN=${CMAKE_BINARY_DIR}/release/README.txt.in -DOUT=${CMAKE_BINARY_DIR}/release/README.txt
          -DNEWLINE=CRLF -P ${PROJECT_VERSION_SCRIPT}
  BYPRODUCTS ${CMAKE_BINARY_DIR}/release/README.txt
  VERBATIM)
install(FILES ${CMAKE_BINARY_DIR}/release/README.txt DESTINATION .)

# The archive's files, for its test: one path a line, relative to its folder.
set(listing "README.txt")
foreach(target ${release_targets})
  string(APPEND listing "\n$<TARGET_FILE_NAME:${target}>")
endforeach()
file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/release/files.txt CONTENT "${listing}\n")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME VantryOrbello)
set(CPACK_PACKAGE_VENDOR VantryOrbello)
set(CPACK_PACKAGE_FILE_NAME VantryOrbello-${PROJECT_VERSION}-${RELEASE_ARCH})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
