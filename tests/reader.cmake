# The Paradox structure reader: real tables, damaged inputs, companion lookup.
kelvane_gtest(test_paradox_reader
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_paradoxbuilder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_paradox_corpus.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_paradox_damaged.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_paradox_behaviour.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_paradox_files.cpp
  LIBS kelvane_conversion)

# Every real table through the fuzz target once (under the sanitizers in that build).
if(TARGET fuzz_paradox_reader)
  file(GLOB_RECURSE replay_tables ${KELVANE_CORPUS_DIR}/*.db ${KELVANE_CORPUS_DIR}/*.DB)
  add_test(NAME fuzz_paradox_reader_replay COMMAND fuzz_paradox_reader ${replay_tables})
endif()
