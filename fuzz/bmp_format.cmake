# Fuzz target of the BMP layout reader, for a native clang build with -DWL_FUZZ=ON:
# fuzz/CMakeLists.txt includes this fragment. The reader is compiled into the target so that it
# carries the fuzzer's instrumentation whatever the library flags are.
add_executable(fuzz_bmp_format ${CMAKE_CURRENT_LIST_DIR}/bmp_format_fuzz.cpp
                               ${CMAKE_SOURCE_DIR}/ui/bmp_format.cpp)
target_include_directories(fuzz_bmp_format PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_options(fuzz_bmp_format PRIVATE -fsanitize=fuzzer,address,undefined -g)
target_link_options(fuzz_bmp_format PRIVATE -fsanitize=fuzzer,address,undefined)
