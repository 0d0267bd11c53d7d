kelvane_gtest(test_conversion
  SOURCES test_typenames.cpp test_unitwriter.cpp test_conversionrun.cpp test_gaugemodel.cpp
  LIBS kelvane_conversion)

kelvane_gtest(test_pascal_compile
  SOURCES test_pascal_compile.cpp
  LIBS kelvane_conversion)
target_compile_definitions(test_pascal_compile PRIVATE
  KELVANE_PASCAL_STUBS_DIR="${CMAKE_CURRENT_SOURCE_DIR}/pascal")

kelvane_gtest(test_cli
  SOURCES test_cli.cpp
  LIBS kelvane_conversion)
target_compile_definitions(test_cli PRIVATE KELVANE_CONVERT="$<TARGET_FILE:kelvane-convert>")
add_dependencies(test_cli kelvane-convert)
