# skyloom_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS x] [ENV A=1])
# One GoogleTest executable registered with CTest; Qt tests run offscreen.
include(GoogleTest)
function(skyloom_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    skyloom_warnings(${name})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES LABELS "${T_LABELS}"
                   ENVIRONMENT "QT_QPA_PLATFORM=offscreen;SKYLOOM_NONINTERACTIVE=1;${T_ENV}")
endfunction()
