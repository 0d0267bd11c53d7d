# The Paradox structure reader: real tables, damaged inputs, companion lookup.
kelvane_gtest(test_paradox_reader
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/test_paradoxbuilder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_paradox_corpus.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_paradox_damaged.cpp
    ${CMAKE_CURRENT_LIST_DIR}/test_paradox_behaviour.cpp
  LIBS kelvane_conversion)
