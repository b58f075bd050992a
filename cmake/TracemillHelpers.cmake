# Shared helpers for targets and tests.

# tm_test_code_options(target)
# How the code of tests is compiled. The code under test is compiled by the tree's own flags;
# the tests' own sources, which the sanitizers gain little from checking, are compiled for
# build speed in the sanitizer tree: without optimisation and without the undefined-behaviour
# checks (which multiply the compile time of GoogleTest's assertion macros), several sources
# in one translation unit. Address checks stay on, so a test's own memory errors still show.
function(tm_test_code_options target)
  if(TRACEMILL_SANITIZE)
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/sanitizer_defaults.cpp)
  endif()
  set_target_properties(${target} PROPERTIES UNITY_BUILD ${TRACEMILL_UNITY_TESTS} UNITY_BUILD_BATCH_SIZE 8)
  if(TRACEMILL_SANITIZE)
    target_compile_options(${target} PRIVATE -O0 -fno-sanitize=undefined)
  endif()
endfunction()

# tm_test_helper_options(target)
# How libraries of test helpers (structure checks, readers of written files, test environments)
# are compiled in the sanitizer tree: with the tree's optimisation, since some check whole
# files, but without the undefined-behaviour checks, which multiply the compile time of
# GoogleTest's headers. Address checks stay on.
function(tm_test_helper_options target)
  if(TRACEMILL_SANITIZE)
    target_compile_options(${target} PRIVATE -fno-sanitize=undefined)
  endif()
endfunction()

# tm_add_test(NAME name SOURCES ... LIBS ... [LABELS ...] [QT])
# One GoogleTest executable registered with CTest. QT marks a test that needs the
# Qt application side; it runs headless on the offscreen platform.
function(tm_add_test)
  cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE tm_test_support ${T_LIBS} GTest::gtest GTest::gtest_main)
  tm_test_code_options(${T_NAME})
  # One environment variable only: a list of several would be split into property names on
  # its way through gtest_discover_tests. The samples and test-data folders are compiled into
  # the test support (test_paths.h); the sanitizers' defaults into each test program.
  set(properties ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  if(T_LABELS)
    list(APPEND properties LABELS "${T_LABELS}")
  endif()
  tm_discover_tests(${T_NAME} ${properties})
endfunction()

# tm_discover_tests(target PROPERTY VALUE ...)
# Registers a GoogleTest executable with CTest in one of two ways, chosen when CTest runs:
# - one CTest test per case (GoogleTest's discovery), so that `ctest -R Suite.Case` runs one
#   case in a process of its own;
# - with TRACEMILL_TEST_WHOLE set in CTest's environment (the test command sets it), one CTest
#   test per executable, named after it, that runs all its cases in one process and writes
#   their results to gtest-results/TARGET.xml of the build folder, where the test command's
#   verdict counts them case by case. A sanitizer build starts a test process in about half a
#   second (the relocations and the address checker's start and leak check), which over some
#   1,800 cases was half of the test run.
function(tm_discover_tests target)
  get_property(before DIRECTORY PROPERTY TEST_INCLUDE_FILES)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES ${ARGN})
  get_property(after DIRECTORY PROPERTY TEST_INCLUDE_FILES)
  set(discovery ${after})
  if(before)
    list(REMOVE_ITEM discovery ${before})
  endif()
  set_property(DIRECTORY PROPERTY TEST_INCLUDE_FILES ${before})
  set(whole_properties WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}" ${ARGN})
  # The slow executables start first, so that two cores finish together.
  if("slow" IN_LIST ARGN)
    list(APPEND whole_properties COST 1000)
  endif()
  set(properties_text "")
  foreach(item IN LISTS whole_properties)
    string(APPEND properties_text " [==[${item}]==]")
  endforeach()
  set(choice "${CMAKE_CURRENT_BINARY_DIR}/${target}_ctest_choice.cmake")
  file(GENERATE OUTPUT "${choice}" CONTENT
"if(\"\$ENV{TRACEMILL_TEST_WHOLE}\")
  add_test([==[${target}]==] [==[$<TARGET_FILE:${target}>]==]
           [==[--gtest_output=xml:${CMAKE_BINARY_DIR}/gtest-results/${target}.xml]==])
  set_tests_properties([==[${target}]==] PROPERTIES${properties_text})
else()
  include([==[${discovery}]==])
endif()
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${choice}")
endfunction()

# tm_add_fuzz(NAME name SOURCES ... LIBS ... CORPUS dir [SAMPLES subdir] [MAX_SEED_SIZE bytes]
#             [DEFINITIONS ...])
# A fuzz harness (LLVMFuzzerTestOneInput) linked with our deterministic replay driver:
# CTest replays the committed corpus and a fixed-seed, fixed-count mutation run. SAMPLES adds the
# files of that folder of the shared samples (read in place) to the corpus when it exists.
# With clang and -DTRACEMILL_LIBFUZZER=ON the same harness also builds for libFuzzer.
# DEFINITIONS are compile definitions of the harness, so that one source can serve several.
# MAX_SEED_SIZE: larger corpus files are replayed but not mutated (large samples that the
# harness refuses early would only slow the mutation run).
function(tm_add_fuzz)
  cmake_parse_arguments(F "" "NAME;CORPUS;SAMPLES;MAX_SEED_SIZE" "SOURCES;LIBS;DEFINITIONS" ${ARGN})
  add_executable(${F_NAME}_replay ${F_SOURCES})
  target_link_libraries(${F_NAME}_replay PRIVATE tm_fuzz_driver ${F_LIBS})
  tm_test_code_options(${F_NAME}_replay)
  target_compile_definitions(${F_NAME}_replay PRIVATE ${F_DEFINITIONS})
  set(corpora --corpus ${F_CORPUS})
  if(F_SAMPLES AND IS_DIRECTORY "${TRACEMILL_SAMPLES}/${F_SAMPLES}")
    list(APPEND corpora --corpus "${TRACEMILL_SAMPLES}/${F_SAMPLES}")
  endif()
  if(F_MAX_SEED_SIZE)
    list(APPEND corpora --max-seed-size ${F_MAX_SEED_SIZE})
  endif()
  add_test(NAME fuzz.${F_NAME}
           COMMAND ${F_NAME}_replay ${corpora} --seed 20261210 --runs ${TRACEMILL_FUZZ_RUNS})
  set_tests_properties(fuzz.${F_NAME} PROPERTIES LABELS "fuzz" TIMEOUT 900)
  if(TRACEMILL_LIBFUZZER)
    add_executable(${F_NAME}_libfuzzer ${F_SOURCES})
    target_compile_options(${F_NAME}_libfuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${F_NAME}_libfuzzer PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${F_NAME}_libfuzzer PRIVATE ${F_LIBS})
    target_compile_definitions(${F_NAME}_libfuzzer PRIVATE ${F_DEFINITIONS})
  endif()
endfunction()
