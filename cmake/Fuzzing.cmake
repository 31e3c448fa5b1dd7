# -DZEBROLITE_BUILD_FUZZERS=ON, with clang++: a build of its own (`make fuzz` uses
# build-fuzz/) in which everything is compiled with libFuzzer's coverage feedback and the
# address and undefined-behaviour sanitizers, so the code a fuzz target reaches, down to
# platform/, guides the fuzzer and stops at the first bad access. The targets in fuzz/ add
# libFuzzer's main.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "The fuzz targets need clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)
