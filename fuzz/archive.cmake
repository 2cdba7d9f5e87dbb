# The texture archive index reader.
if(TARGET zem_gfx_core)
  zem_add_fuzzer(fuzz_archive ${CMAKE_CURRENT_LIST_DIR}/archive_fuzz.cpp zem_gfx_core)
endif()
