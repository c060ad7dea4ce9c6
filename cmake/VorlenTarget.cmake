# Compiler settings shared by every target of the project.
function(vorlen_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(VORLEN_SANITIZER STREQUAL "address")
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                              -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  elseif(VORLEN_SANITIZER STREQUAL "thread")
    # -Wno-tsan: GCC warns that the sanitizer does not follow
    # std::atomic_thread_fence. The fences here only order atomics, on which
    # the sanitizer reports nothing anyway; what they publish is never plain
    # memory.
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer
                                              $<$<CXX_COMPILER_ID:GNU>:-Wno-tsan>)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
  if(VORLEN_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# A program the build itself runs (the art generator). It is never built with a
# sanitizer: it checks nothing of the jukebox, and reports from Qt's own
# threads, which no sanitizer can see into, would stop the build.
function(vorlen_build_tool_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

# A GoogleTest executable whose cases CTest discovers when it runs them.
# THREADED marks a test that runs threads of its own (engine, player, timer,
# visualisation, master volume, folder scan, sound): the thread-sanitizer
# tree (VORLEN_SANITIZE=thread) builds and runs only those, and the target
# threaded_tests builds them.
function(vorlen_add_test_executable name)
  cmake_parse_arguments(ARG "THREADED" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  set(skipped FALSE)
  if(VORLEN_SANITIZER STREQUAL "thread" AND NOT ARG_THREADED)
    set(skipped TRUE)
  endif()
  if(skipped)
    # Kept as a target so that the settings a folder adds to it still apply.
    add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
  else()
    add_executable(${name} ${ARG_SOURCES})
  endif()
  vorlen_target_options(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} vorlen_test_support)
  if(skipped)
    return()
  endif()
  if(ARG_THREADED)
    add_dependencies(threaded_tests ${name})
  endif()
  set(properties ${ARG_PROPERTIES})
  if(VORLEN_SANITIZER STREQUAL "thread")
    list(APPEND properties ENVIRONMENT_MODIFICATION
         "TSAN_OPTIONS=set:suppressions=${PROJECT_SOURCE_DIR}/tests/support/tsan-suppressions.txt")
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS "${ARG_LABELS}" ${properties})
endfunction()
