# Every target of the project builds with the same warnings; CI turns them into errors.
function(project_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
