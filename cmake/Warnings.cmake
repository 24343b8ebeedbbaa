# Warnings for our own targets only; third-party headers are included as SYSTEM.
function(skyloom_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow=local
                                             -Wno-missing-field-initializers)
    # In a unity build GCC takes each source's anonymous namespace for one in
    # a header and warns about every test fixture declared there.
    if(CMAKE_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wno-subobject-linkage>)
    endif()
endfunction()
