# The pattern-file loader.
if(TARGET zem_engines)
  zem_add_fuzzer(fuzz_pattern_file ${CMAKE_CURRENT_LIST_DIR}/pattern_file_fuzz.cpp zem_engines)
endif()
