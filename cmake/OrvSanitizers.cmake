# ORV_SANITIZE: "" (none), "address" (AddressSanitizer with UndefinedBehaviorSanitizer)
# or "thread" (ThreadSanitizer). Applies to every target of the build.
set(ORV_SANITIZE "" CACHE STRING "Sanitizers to build with: address, thread or empty")
set_property(CACHE ORV_SANITIZE PROPERTY STRINGS "" address thread)

if(ORV_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
elseif(ORV_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
elseif(NOT ORV_SANITIZE STREQUAL "")
    message(FATAL_ERROR "ORV_SANITIZE must be empty, address or thread, not '${ORV_SANITIZE}'")
endif()
