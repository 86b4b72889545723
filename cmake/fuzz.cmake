# libFuzzer targets, one per tests/fuzz/fuzz_*.cpp, built only with VT_FUZZ on
# and clang (tests/fuzz/run-fuzz.sh configures such a build tree and runs them).
# The whole library is compiled with the fuzzer's coverage hooks by the flags
# that script passes; here only the targets' own link step needs the runtime.
option(VT_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(VT_FUZZ)
  file(GLOB VT_FUZZERS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz_*.cpp)
  foreach(src ${VT_FUZZERS})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE vantcore)
    target_compile_options(${name} PRIVATE ${VT_WARNINGS})
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  endforeach()
endif()
