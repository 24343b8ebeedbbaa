# The hardening Debian gives its own packages, for the normal build:
# fortified string and memory functions, a stack protector, and relocations
# made read-only and bound at start. The compiler already makes programs
# position-independent. Sanitizer builds go without (AddressSanitizer
# replaces those functions itself), and so do unoptimised builds, where
# fortification does nothing but warn.
option(SKYLOOM_HARDEN "Build with the hardening flags of Debian packages" ON)
if(SKYLOOM_HARDEN AND NOT SKYLOOM_SANITIZE)
    add_compile_options(-fstack-protector-strong
                        "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
