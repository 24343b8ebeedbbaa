# skyloom_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [LABELS x] [ENV A=1])
# One GoogleTest executable, registered with CTest as one test. Tests run in
# the C locale (English texts, whatever the developer's language); Qt tests run
# offscreen; message boxes answer themselves; no first-run set is made from
# the desktop's photographs, and a wallpaper is only ever written to a file
# (never installed on the developer's own desktop).
function(skyloom_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS;ENV" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    skyloom_warnings(${name})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES
        LABELS "${T_LABELS}"
        TIMEOUT 600
        ENVIRONMENT "LANG=C.UTF-8;LC_ALL=;LC_MESSAGES=;LANGUAGE=;QT_QPA_PLATFORM=offscreen;SKYLOOM_NONINTERACTIVE=1;SKYLOOM_QUIET=1;SKYLOOM_FIRST_SET_SOURCE=/nonexistent;SKYLOOM_WALLPAPER_BACKEND=file;XDG_CACHE_HOME=${CMAKE_BINARY_DIR}/tests/cache;${T_ENV}")
endfunction()

# skyloom_whole_test(NAME TIMEOUT seconds COMMAND ...)
# A whole-program test (a shell script under Xvfb): labelled whole and gui,
# skipped with status 77, in the C locale. Each has its own X server, HOME and
# XDG folders, so whole tests run beside each other and beside the unit tests;
# the longest (by their time limit) start first, so that a parallel run does
# not end waiting on one of them. The programs' messages go to a log in
# the build folder's test-logs/, printed when the test fails.
function(skyloom_whole_test name)
    cmake_parse_arguments(T "" "TIMEOUT" "COMMAND;ENV" ${ARGN})
    add_test(NAME ${name} COMMAND ${T_COMMAND})
    set_tests_properties(${name} PROPERTIES LABELS "whole;gui" SKIP_RETURN_CODE 77
                         TIMEOUT ${T_TIMEOUT} COST ${T_TIMEOUT}
                         ENVIRONMENT "LANG=C.UTF-8;LC_ALL=;LC_MESSAGES=;LANGUAGE=;WHOLE_LOG_DIR=${CMAKE_BINARY_DIR}/test-logs;${T_ENV}")
endfunction()

# skyloom_c_locale(TEST...)
# Runs tests registered with plain add_test() in the C locale too: they find
# the programs' controls and messages by their English texts.
function(skyloom_c_locale)
    foreach(t ${ARGN})
        set_property(TEST ${t} APPEND PROPERTY ENVIRONMENT
                     "LANG=C.UTF-8" "LC_ALL=" "LC_MESSAGES=" "LANGUAGE=")
    endforeach()
endfunction()
