kelvane_gtest(test_fire
  SOURCES
    test_fire_palette.cpp
    test_fire_geometry.cpp
    test_fire_model.cpp
    test_fire_kernels.cpp
    test_fire_frames.cpp
    test_fire_sha256.cpp
  LIBS kelvane_fireframes)
