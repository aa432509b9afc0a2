# Native (Linux) build: the core's GoogleTest suite and its benchmarks.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB_RECURSE QM_CORE_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/core/*.cpp)
add_executable(core_tests ${QM_CORE_TEST_SOURCES})
target_include_directories(core_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(core_tests PRIVATE qm_core GTest::gtest GTest::gtest_main GTest::gmock)
if(QM_SANITIZE)
    # One run of the whole suite: each sanitized start costs too much to pay per test.
    add_test(NAME core_tests_sanitized COMMAND core_tests --gtest_color=no)
else()
    gtest_discover_tests(core_tests DISCOVERY_MODE PRE_TEST)
endif()

if(QM_BENCHMARKS)
    file(GLOB QM_BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
    find_package(benchmark QUIET)
    if(benchmark_FOUND AND QM_BENCH_SOURCES)
        add_executable(core_bench ${QM_BENCH_SOURCES})
        target_include_directories(core_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
        target_link_libraries(core_bench PRIVATE qm_core benchmark::benchmark benchmark::benchmark_main)
    endif()
endif()
