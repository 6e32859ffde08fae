# The namespace visualizer: its page model is window-free (mv_app_core); the control stands on
# the HTML viewer (Win32).
target_sources(mv_app_core PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/NamespaceVisualizerPage.cpp
                                   ${CMAKE_CURRENT_SOURCE_DIR}/NamespaceVisualizerEdit.cpp)
target_link_libraries(mv_app_core PUBLIC mv_htmlengine_core)
if(MV_WIN32)
  target_sources(mv_app PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/TitleWidths.cpp)
  target_link_libraries(mv_app PUBLIC mv_htmldisplay)
endif()
