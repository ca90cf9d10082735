# GoogleTest for both builds and one helper to register a module's unit tests.
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Google Test's own sources are not held to our warning set.
  target_compile_options(gtest PRIVATE -w)
  target_compile_options(gtest_main PRIVATE -w)
  set(KC_GTEST_LIBS gtest_main gtest)
else()
  find_package(GTest REQUIRED)
  set(KC_GTEST_LIBS GTest::gtest_main GTest::gtest)
endif()

# kc_add_unit_test(NAME [PORTABLE] SOURCES... LIBS libs...)
# One executable per module, registered as one CTest test (under Wine in the Windows build).
# It links kc_test_support (testsupport/) and, unless PORTABLE (tests that link none of
# the framework), kc_test_framework (Framework/KCommon/tests). It runs in a fresh folder
# build/.../scratch/NAME holding a copy of the module's tests/data as "data".
function(kc_add_unit_test name)
  cmake_parse_arguments(ARG "PORTABLE" "" "SOURCES;LIBS" ${ARGN})
  set(paths ${CMAKE_CURRENT_BINARY_DIR}/${name}_paths.cpp)
  file(CONFIGURE OUTPUT ${paths} CONTENT
"// Written by kc_add_unit_test: where this test runs and where its data lies.
extern const char* const kcTestScratchFolder;
extern const char* const kcTestDataFolder;
const char* const kcTestScratchFolder = \"${CMAKE_CURRENT_BINARY_DIR}/scratch/${name}\";
const char* const kcTestDataFolder = \"${CMAKE_CURRENT_SOURCE_DIR}/tests/data\";
")
  add_executable(${name} ${ARG_SOURCES} ${paths})
  target_link_libraries(${name} PRIVATE kc_test_support ${ARG_LIBS} ${KC_GTEST_LIBS})
  if(NOT ARG_PORTABLE)
    target_link_libraries(${name} PRIVATE kc_test_framework)
  endif()
  add_test(NAME ${name} COMMAND ${name} --gtest_color=no
           WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 600)
  # Under qemu-user a death test forks without executing the test program
  # again: the kernel may not run a 32-bit program that is started by execv.
  if(CMAKE_CROSSCOMPILING_EMULATOR MATCHES "qemu-")
    set_tests_properties(${name} PROPERTIES ENVIRONMENT KC_DEATH_TEST_STYLE=fast)
  endif()
endfunction()

# kc_add_fuzz_target(NAME SOURCES... LIBS libs...)
# A libFuzzer target, built only in a clang host build with -DFUZZ=ON.
function(kc_add_fuzz_target name)
  if(NOT FUZZ OR CMAKE_CROSSCOMPILING)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()
