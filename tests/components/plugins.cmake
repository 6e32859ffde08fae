# The plug-in host's rules natively, and against misbehaving real modules under Wine.
mv_add_test(mv_plugin_rules_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PluginRulesTest.cpp
  LIBS mv_components_core)

if(MV_WIN32)
  mv_add_test(mv_plugin_faults_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/PluginFaultsTest.cpp
    LIBS mv_components_core)
  add_dependencies(mv_plugin_faults_tests ${MV_TEST_PLUGINS})
  target_compile_definitions(mv_plugin_faults_tests PRIVATE MV_TEST_PLUGIN_DIR="Z:${MV_TEST_PLUGIN_DIR}")
endif()
