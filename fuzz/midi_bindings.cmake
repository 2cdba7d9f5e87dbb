# The MIDI bindings reader.
if(TARGET zem_midi_bindings)
  zem_add_fuzzer(fuzz_midi_bindings ${CMAKE_CURRENT_LIST_DIR}/midi_bindings_fuzz.cpp
                 zem_midi_bindings)
endif()
