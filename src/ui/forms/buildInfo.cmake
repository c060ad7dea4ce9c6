# Writes the build's version header: the project version and the commit the
# program is built from ("unknown" outside a git work tree, "-dirty" when the
# tree has changes). Run at every build; the header is rewritten only when its
# text changes, so that an unchanged commit rebuilds nothing.
#   cmake -DSOURCE_DIR=... -DOUTPUT=... -DVERSION=... -P buildInfo.cmake
set(commit "unknown")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} describe --always --dirty --abbrev=12
                  OUTPUT_VARIABLE described OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE failed ERROR_QUIET)
  if(NOT failed AND described)
    set(commit "${described}")
  endif()
endif()
set(text "#pragma once\n// Written by the build; not kept in the source tree.\n#define VORLEN_VERSION_TEXT \"${VERSION}\"\n#define VORLEN_COMMIT_TEXT \"${commit}\"\n")
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} previous)
endif()
if(NOT "${text}" STREQUAL "${previous}")
  file(WRITE ${OUTPUT} "${text}")
endif()
