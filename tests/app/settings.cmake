# Tests of the settings unit and the small utilities.
mv_add_test(mv_app_settings_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SettingsTest.cpp
  LIBS mv_app_settings_core
  TIMEOUT 60)

if(MV_WIN32)
  mv_add_test(mv_app_settings_win32_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SettingsWin32Test.cpp ${CMAKE_CURRENT_SOURCE_DIR}/ScreenShots.cpp
    LIBS mv_app_settings_core
    TIMEOUT 120)
  target_compile_definitions(mv_app_settings_win32_tests PRIVATE MV_SCREENS_DIR="${CMAKE_BINARY_DIR}/screens")
endif()
