# cmake -DSOURCE_DIR=... -DVERSION=1.2.3 -DIN=template -DOUT=file [-DNEWLINE=CRLF] -P this
# Writes OUT from IN with @VERSION_TEXT@ replaced by "VERSION (commit HASH)", with
# ", modified" when tracked files differ from the commit, or "VERSION" alone outside a git
# checkout. OUT keeps its time stamp when its text is unchanged.
set(VERSION_TEXT ${VERSION})
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} rev-parse --short=10 HEAD
                  OUTPUT_VARIABLE commit OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND commit)
    # No index lock: a build must not get in the way of a commit made meanwhile.
    execute_process(COMMAND ${GIT_EXECUTABLE} --no-optional-locks -C ${SOURCE_DIR}
                            status --porcelain --untracked-files=no
                    OUTPUT_VARIABLE changes OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    set(VERSION_TEXT "${VERSION} (commit ${commit})")
    if(changes)
      set(VERSION_TEXT "${VERSION} (commit ${commit}, modified)")
    endif()
  endif()
endif()
if(NOT NEWLINE)
  set(NEWLINE UNIX)
endif()
configure_file(${IN} ${OUT} @ONLY NEWLINE_STYLE ${NEWLINE})
