# The plug-in list's window-free rules (Plugins.ini), beside the topic editor's.
target_sources(mv_app_core PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/PluginList.cpp)
target_link_libraries(mv_app_core PUBLIC mv_components_core)
