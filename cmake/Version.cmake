# The version both programs print with --version: the project's version and,
# in a build from a git checkout, the commit it was configured from. Without
# git, or outside a checkout (a source archive), the version stands alone.
#
# Gives the interface library launcher_version, whose include folder holds
# the generated LauncherVersion.h.

set(LAUNCHER_REVISION "")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(
    COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" describe --always --dirty
    RESULT_VARIABLE revision_status
    OUTPUT_VARIABLE revision
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
  # A folder inside some other repository would give that repository's
  # commit; only a checkout of this project counts.
  execute_process(
    COMMAND "${GIT_EXECUTABLE}" -C "${PROJECT_SOURCE_DIR}" rev-parse --show-toplevel
    OUTPUT_VARIABLE toplevel
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)
  if(revision_status EQUAL 0 AND revision AND toplevel)
    file(REAL_PATH "${toplevel}" toplevel)
    file(REAL_PATH "${PROJECT_SOURCE_DIR}" source_dir)
    if(toplevel STREQUAL source_dir)
      set(LAUNCHER_REVISION "${revision}")
    endif()
  endif()
endif()

set(LAUNCHER_VERSION_STRING "${PROJECT_VERSION}")
if(LAUNCHER_REVISION)
  string(APPEND LAUNCHER_VERSION_STRING " (${LAUNCHER_REVISION})")
endif()

# configure_file rewrites the header only when the text changes, so a
# reconfigure at the same commit rebuilds nothing.
configure_file(${CMAKE_CURRENT_LIST_DIR}/LauncherVersion.h.in
               ${PROJECT_BINARY_DIR}/generated/LauncherVersion.h @ONLY)
add_library(launcher_version INTERFACE)
target_include_directories(launcher_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
