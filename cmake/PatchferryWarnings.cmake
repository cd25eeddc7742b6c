# The project's warning set for every target of its own (not for the third-party code it includes).
#
# Warnings are errors only where we control the compiler: the test command and CI turn
# PATCHFERRY_WERROR on. A packager's or a user's build, with another build type or a newer
# compiler, reports new warnings and still builds.
option(PATCHFERRY_WERROR "Treat compiler warnings as errors" OFF)

function(patchferry_warnings target)
  if(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(PATCHFERRY_WERROR)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  else()
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wconversion -Wsign-conversion
                                             -Wshadow -Wnon-virtual-dtor -Wold-style-cast)
    if(PATCHFERRY_WERROR)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
  endif()
endfunction()
