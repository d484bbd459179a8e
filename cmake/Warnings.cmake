# Warnings are errors on both compilers.
function(kestrum_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                             -Wno-sign-conversion -Werror)
endfunction()
