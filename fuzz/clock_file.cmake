# zem-render's clock-file reader, and the clock follower on whatever it reads.
if(TARGET zem_render)
  zem_add_fuzzer(fuzz_clock_file ${CMAKE_CURRENT_LIST_DIR}/clock_file_fuzz.cpp zem_render zem_engines)
endif()
