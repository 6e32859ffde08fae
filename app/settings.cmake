# The settings unit (settings file, settings dialog) and the small utilities.
# mv_app_settings_core builds in both configurations and is tested natively.
add_library(mv_app_settings_core STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/Settings.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/Utils.cpp)
target_include_directories(mv_app_settings_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(mv_app_settings_core PUBLIC mv_base mv_components_core)

if(MV_WIN32)
  # On Windows the same sources also carry the dialog and the shell lookups.
  add_library(mv_app_settings ALIAS mv_app_settings_core)
  target_link_libraries(mv_app_settings_core PUBLIC mv_gui shell32 ole32)
endif()
