# The session-file reader.
if(TARGET zem_engines)
  zem_add_fuzzer(fuzz_session ${CMAKE_CURRENT_LIST_DIR}/session_fuzz.cpp zem_engines)
endif()
