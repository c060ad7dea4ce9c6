# Compiler settings shared by every target of the project.
function(vorlen_target_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  if(VORLEN_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                              -fno-sanitize-recover=undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
  if(VORLEN_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()

# A GoogleTest executable whose cases CTest discovers when it runs them.
function(vorlen_add_test_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  vorlen_target_options(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} vorlen_test_support)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS "${ARG_LABELS}" ${ARG_PROPERTIES})
endfunction()
