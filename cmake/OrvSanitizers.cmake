# ORV_SANITIZE: "" (none), "address" (AddressSanitizer with UndefinedBehaviorSanitizer)
# or "thread" (ThreadSanitizer). Applies to every target of the build, so the
# libraries are checked from the inside, not only at the test's calls.
#
# Every report is fatal (-fno-sanitize-recover=all): a test that trips a
# sanitizer fails instead of printing a warning that nobody reads.
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

# The libFuzzer targets need every library they reach instrumented for
# coverage and checked by AddressSanitizer and UndefinedBehaviorSanitizer; the
# fuzz targets themselves add the libFuzzer driver (fuzz/CMakeLists.txt).
# ORV_TIMELINE_JSON_FUZZ_SANITIZERS=OFF keeps the coverage instrumentation
# only: the targets that compare two routes still abort on a disagreement,
# at several times the speed, which long runs need.
if(ORV_TIMELINE_JSON_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "The fuzz targets need clang: configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    if(ORV_SANITIZE STREQUAL "thread")
        message(FATAL_ERROR "The fuzz targets use AddressSanitizer; they cannot be built with ORV_SANITIZE=thread")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link)
    if(NOT ORV_SANITIZE STREQUAL "address" AND ORV_TIMELINE_JSON_FUZZ_SANITIZERS)
        add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
        add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
    endif()
endif()
