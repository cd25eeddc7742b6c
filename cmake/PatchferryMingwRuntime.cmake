# The MinGW-w64 runtime DLLs that a program linked against Qt for Windows needs beside it: the
# C++ and GCC runtimes of the compiler and the POSIX threads library, found where the compiler
# itself would link them from.
#
# patchferry_mingw_runtime_dlls(<out variable>): their full paths.
function(patchferry_mingw_runtime_dlls out)
  set(dlls "")
  foreach(name libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
      OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(path "${path}" REALPATH)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
      message(FATAL_ERROR "The MinGW runtime ${name} is not where ${CMAKE_CXX_COMPILER} links from")
    endif()
    list(APPEND dlls ${path})
  endforeach()
  set(${out} ${dlls} PARENT_SCOPE)
endfunction()
