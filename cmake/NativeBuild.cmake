# The portable core and its unit tests, with sanitizers; or, with PERCHETTE_FUZZ (clang), the
# fuzz targets that compare the text rules with models of their own.
option(PERCHETTE_FUZZ "Build the libFuzzer targets instead of the unit tests" OFF)
if(PERCHETTE_FUZZ)
  foreach(name IntText TimeText SpinRules)
    add_executable(fuzz_${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/Fuzz${name}.cpp ${PORTABLE_SOURCES})
    target_include_directories(fuzz_${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_compile_options(fuzz_${name} PRIVATE -g -O1 -fsanitize=fuzzer,address,undefined
                           -fno-sanitize-recover=all)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  endforeach()
  return()
endif()

enable_testing()
find_package(GTest REQUIRED)

set(SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(perchette_core STATIC ${PORTABLE_SOURCES})
target_include_directories(perchette_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(perchette_core PRIVATE -Wall -Wextra -Wpedantic -Werror ${SANITIZE})
target_link_options(perchette_core PUBLIC ${SANITIZE})

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/Bitmap.cpp)
target_compile_options(unit_tests PRIVATE -Wall -Wextra -Werror ${SANITIZE})
target_compile_definitions(unit_tests PRIVATE PERCHETTE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(unit_tests PRIVATE perchette_core GTest::gtest_main)
include(GoogleTest)
gtest_discover_tests(unit_tests)

# Micro-benchmarks of the portable core, built and run only by scripts/bench (from a release
# build). The core is compiled in again here, without the sanitizers, so that the timings are the
# optimised code's.
find_package(benchmark QUIET)
if(benchmark_FOUND AND NOT PERCHETTE_FUZZ)
  add_executable(core_bench EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/bench/CoreBench.cpp ${CMAKE_SOURCE_DIR}/tests/support/Bitmap.cpp ${PORTABLE_SOURCES})
  target_include_directories(core_bench PRIVATE ${CMAKE_SOURCE_DIR})
  # -Wno-restrict: GCC 12 at -O2 wrongly flags std::string's operator+ (its bug 105329).
  target_compile_options(core_bench PRIVATE -Wall -Wextra -Wpedantic -Werror -Wno-restrict)
  target_compile_definitions(core_bench PRIVATE PERCHETTE_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(core_bench PRIVATE benchmark::benchmark)
endif()
