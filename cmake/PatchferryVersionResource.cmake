# The Windows resources every program of ours carries: the version information that Explorer shows
# in a file's properties and, for a program with one, its icon (the first icon resource is the one
# Explorer, the Start menu and the taskbar show).
#
# patchferry_version_resource(target DESCRIPTION text [ICON file.ico])
function(patchferry_version_resource target)
  if(NOT WIN32)
    return()
  endif()
  cmake_parse_arguments(ARG "" "DESCRIPTION;ICON" "" ${ARGN})
  set(PATCHFERRY_RC_NAME ${target})
  set(PATCHFERRY_RC_DESCRIPTION "${ARG_DESCRIPTION}")
  set(PATCHFERRY_RC_ICON "")
  if(ARG_ICON)
    set(PATCHFERRY_RC_ICON "1 ICON \"${ARG_ICON}\"")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  if(ARG_ICON)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS ${ARG_ICON})
  endif()
endfunction()
