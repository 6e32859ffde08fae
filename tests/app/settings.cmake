# Tests of the settings unit and the small utilities.
mv_add_test(mv_app_settings_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SettingsTest.cpp
  LIBS mv_app_settings_core
  TIMEOUT 60)

if(MV_WIN32)
  mv_add_test(mv_app_settings_win32_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/SettingsWin32Test.cpp
    LIBS mv_app_settings_core
    TIMEOUT 120)
endif()
