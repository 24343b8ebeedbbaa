# Warnings for our own targets only; third-party headers are included as SYSTEM.
function(skyloom_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow=local
                                             -Wno-missing-field-initializers)
endfunction()
