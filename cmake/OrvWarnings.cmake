# Warnings for the project's own targets.
function(orv_set_warnings target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    elseif(MSVC)
        target_compile_options(${target} PRIVATE /W4)
    endif()
endfunction()

# One of the project's shared libraries: versioned, symbols hidden unless
# exported, warnings on. `name` is the file name without lib and .so.
function(orv_add_shared_library target name building_macro)
    add_library(${target} SHARED ${ARGN})
    add_library(Orv::${target} ALIAS ${target})
    set_target_properties(${target} PROPERTIES
        OUTPUT_NAME ${name}
        EXPORT_NAME ${target}
        VERSION ${PROJECT_VERSION}
        SOVERSION ${PROJECT_VERSION_MAJOR})
    target_compile_definitions(${target} PRIVATE ${building_macro})
    orv_set_warnings(${target})
endfunction()
