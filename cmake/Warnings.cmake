# Warnings are errors on both compilers. -Wrestrict is left out: GCC 12 reports false
# overlaps inside std::string concatenation at -O2 (its bug 105329), on both targets.
function(kestrum_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion -Wno-restrict -Werror)
endfunction()
