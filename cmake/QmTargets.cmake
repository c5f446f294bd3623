# A folder becomes one static library of all its .cpp files. A folder with no
# sources yet becomes an interface library, so layers above still link.
#   qm_library(name dir <layers below...> [PRIVATE <libraries...>])
# PRIVATE libraries (Qt, libjpeg) are linked but their headers do not reach the
# layers above, so an include of them there fails to compile.
function(qm_library name dir)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "PRIVATE")
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${arg_UNPARSED_ARGUMENTS} PRIVATE ${arg_PRIVATE})
    if(dir MATCHES "^src/platform/")
      set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
    # Only to build faster: the fuzz build compiles the same sources without
    # it, so each unit includes what it uses (test units_without_pch).
    if(EXISTS ${CMAKE_SOURCE_DIR}/${dir}/pch.h)
      target_precompile_headers(${name} PRIVATE ${CMAKE_SOURCE_DIR}/${dir}/pch.h)
    endif()
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${arg_UNPARSED_ARGUMENTS})
  endif()
endfunction()

# One test binary a folder of tests: test_<folder with underscores>.
function(qm_tests dir)
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${dir}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  string(REPLACE "/" "_" name "test_${dir}")
  add_executable(${name} ${srcs})
  target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1
           WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  # A temporary folder of each binary's own in its build tree: the files a test
  # names there meet no other binary's, nor another build's running beside it.
  set(tmp ${CMAKE_BINARY_DIR}/tmp/${name})
  file(MAKE_DIRECTORY ${tmp})
  set(env "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;TMPDIR=${tmp}")
  if(QM_SANITIZE STREQUAL "thread")
    list(APPEND env "TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1")
  elseif(QM_SANITIZE)
    # Leaks are checked at exit; what fontconfig and the C library keep for
    # the life of the process is listed in the suppression file.
    list(APPEND env
      "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1"
      "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/cmake/lsan.supp:print_suppressions=0"
      "UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()
