# The settings store and the settings load and save, without a window.
if(TARGET kelvane_settings)
  kelvane_gtest(test_settings
    SOURCES
      ${CMAKE_CURRENT_SOURCE_DIR}/test_settings_store.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/test_settings_file.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/test_settings_session.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/test_settings_concurrency.cpp
    LIBS kelvane_settings)
endif()
