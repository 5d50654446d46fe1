# Coverage and sanitizer instrumentation for every target of a fuzz build. float-cast-overflow is
# not part of "undefined"; it catches float-to-int conversions of values outside int.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "MERLOP_FUZZ needs clang (libFuzzer), e.g. -DCMAKE_CXX_COMPILER=clang++-14")
endif()
set(merlop_fuzz_sanitizers address,undefined,float-cast-overflow)
add_compile_options(-fsanitize=fuzzer-no-link,${merlop_fuzz_sanitizers}
  -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=${merlop_fuzz_sanitizers})
