kelvane_gtest(test_conversion
  SOURCES test_typenames.cpp test_unitwriter.cpp test_conversionrun.cpp test_gaugemodel.cpp
  LIBS kelvane_conversion)

kelvane_gtest(test_pascal_compile
  SOURCES test_pascal_compile.cpp
  LIBS kelvane_conversion)
target_compile_definitions(test_pascal_compile PRIVATE
  KELVANE_PASCAL_STUBS_DIR="${CMAKE_CURRENT_SOURCE_DIR}/pascal")

add_test(NAME cli_help COMMAND kelvane-convert --help)
set_tests_properties(cli_help PROPERTIES PASS_REGULAR_EXPRESSION "Usage: kelvane-convert SOURCE_DIR DEST.pas")
