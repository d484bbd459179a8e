# Warnings are errors on every compiler. -Wrestrict is left out: GCC 12 reports false
# overlaps inside std::string concatenation at -O2 (its bug 105329), on both targets; clang
# has no such warning and would reject the option.
function(kestrum_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion -Werror)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
endfunction()
