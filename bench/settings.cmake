# How long the settings load of start-up and the save of close take, and reading a large file.
if(benchmark_FOUND AND TARGET kelvane_settings)
  add_executable(bench_settings bench_settings.cpp)
  target_link_libraries(bench_settings PRIVATE kelvane_settings benchmark::benchmark)
  kelvane_warnings(bench_settings)
endif()
