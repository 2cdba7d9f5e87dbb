# The layout-file reader, following includes inside a scratch folder.
if(TARGET zem_panels)
  zem_add_fuzzer(fuzz_layout ${CMAKE_CURRENT_LIST_DIR}/layout_fuzz.cpp zem_panels)
endif()
