# Warnings are errors for every target of this project (not for the third-party code it includes).
function(patchferry_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4 /WX)
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion
                                             -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Werror)
  endif()
endfunction()
