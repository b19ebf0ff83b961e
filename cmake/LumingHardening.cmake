# Hardened code for everything built here, as Debian builds its packages: position-independent
# executables, the stack protector, read-only relocations bound at start (BINDNOW), and
# _FORTIFY_SOURCE's checked string and memory functions. The checked functions need optimisation
# (the Debug configuration has none), and the sanitizers bring checks of their own that clash
# with them, so those builds go without.
include(CheckPIESupported)
include(CheckCXXSourceCompiles)
check_pie_supported()

add_compile_options(-fstack-protector-strong)
add_link_options(-Wl,-z,relro -Wl,-z,now)

if(NOT LUMING_SANITIZE AND NOT LUMING_FUZZ)
    # Level 3 checks sizes known only at run time; compilers without them get level 2.
    check_cxx_source_compiles("
        #include <cstddef>
        int main() { char b[4]; return static_cast<int>(__builtin_dynamic_object_size(b, 0)); }"
        LUMING_HAS_DYNAMIC_OBJECT_SIZE)
    if(LUMING_HAS_DYNAMIC_OBJECT_SIZE)
        set(fortifyLevel 3)
    else()
        set(fortifyLevel 2)
    endif()
    add_compile_options(
        "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=${fortifyLevel}>")
endif()
