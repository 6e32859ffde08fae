# Plug-ins in the running program (Win32, under Wine): real test modules in the
# program folder's Plugins, the plug-in list window, and the SDK's samples.
if(TARGET Miravelund AND TARGET TagPlugin)
  mv_add_test(mv_app_plugin_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PluginsTest.cpp
    LIBS mv_app_test_support
    TIMEOUT 300)
  add_dependencies(mv_app_plugin_tests mv_default_db TagPlugin FaultyPlugin ThrowingPlugin BadCountPlugin
                   GoodPlugin RefusingPlugin)
  target_compile_definitions(mv_app_plugin_tests PRIVATE MV_TEST_PLUGIN_DIR_W="Z:$<TARGET_FILE_DIR:TagPlugin>")
endif()
