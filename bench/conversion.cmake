# Conversion of a large folder against the floor of reading just the header bytes it needs.
add_executable(bench_conversion bench_conversion.cpp)
target_link_libraries(bench_conversion PRIVATE kelvane_conversion)
target_include_directories(bench_conversion PRIVATE ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(bench_conversion PRIVATE KELVANE_CORPUS_DIR="${KELVANE_CORPUS_DIR}")
kelvane_warnings(bench_conversion)
