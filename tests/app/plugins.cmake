# Plug-ins in the program: the plug-in list's rules natively; under Wine, real
# test modules in the program folder's Plugins, the plug-in list window, and
# the SDK's samples in the real program.
mv_add_test(mv_app_plugin_list_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PluginListTest.cpp
  LIBS mv_app_core
  TIMEOUT 60)

if(TARGET Miravelund AND TARGET TagPlugin)
  mv_add_test(mv_app_plugin_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PluginsTest.cpp
    LIBS mv_test_windows mv_app_test_support
    TIMEOUT 300)
  add_dependencies(mv_app_plugin_tests mv_default_db TagPlugin FaultyPlugin ThrowingPlugin BadCountPlugin
                   GoodPlugin RefusingPlugin)
  target_compile_definitions(mv_app_plugin_tests PRIVATE MV_TEST_PLUGIN_DIR_W="Z:$<TARGET_FILE_DIR:TagPlugin>"
                                                         MV_SCREENS_DIR="Z:${CMAKE_BINARY_DIR}/screens")
endif()

if(TARGET Miravelund AND TARGET mv_sdk_samples AND TARGET CrashingPlugin)
  mv_add_test(mv_app_plugin_process_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PluginProcessTest.cpp
    LIBS mv_app_test_support
    TIMEOUT 400)
  add_dependencies(mv_app_plugin_process_tests Miravelund mv_default_db mv_sdk_samples CrashingPlugin)
  string(REPLACE "/" "\\\\" mv_sdk_samples_w "Z:${MV_SDK_SAMPLES_DIR}")
  target_compile_definitions(mv_app_plugin_process_tests PRIVATE MV_SDK_SAMPLES_DIR_W="${mv_sdk_samples_w}"
                                                                 MV_TEST_PLUGIN_DIR_W="Z:$<TARGET_FILE_DIR:CrashingPlugin>")
endif()
