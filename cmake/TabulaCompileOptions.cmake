# Warnings and sanitizers shared by the library, tests, examples and tools.
function(tabula_compile_options target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(TABULA_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                 -fno-sanitize-recover=undefined)
        target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    endif()
endfunction()
