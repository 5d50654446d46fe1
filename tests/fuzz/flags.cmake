# Coverage and sanitizer instrumentation for every target of a fuzz build. float-cast-overflow
# (float-to-int conversions of values outside int) and float-divide-by-zero are not part of
# "undefined".
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "MERLOP_FUZZ needs clang (libFuzzer), e.g. -DCMAKE_CXX_COMPILER=clang++-14")
endif()
set(merlop_fuzz_sanitizers address,undefined,float-cast-overflow,float-divide-by-zero)
add_compile_options(-fsanitize=fuzzer-no-link,${merlop_fuzz_sanitizers}
  -fno-sanitize-recover=all -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=${merlop_fuzz_sanitizers})
