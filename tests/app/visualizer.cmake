# The namespace visualizer's page (window-free).
mv_add_test(mv_app_visualizer_page_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/NamespaceVisualizerPageTest.cpp
          ${CMAKE_CURRENT_SOURCE_DIR}/NamespaceVisualizerEditTest.cpp
  LIBS mv_app_core mv_htmlengine_core
  TIMEOUT 60)

# The side panel in the real note window (Win32, under Wine and Xvfb).
if(TARGET Miravelund)
  mv_add_test(mv_app_visualizer_tests
    SOURCES
      ${CMAKE_CURRENT_SOURCE_DIR}/NamespaceVisualizerTest.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/NamespaceVisualizerRenderTest.cpp
    LIBS mv_test_windows mv_app_test_support
    TIMEOUT 300)
  target_compile_definitions(mv_app_visualizer_tests PRIVATE MV_SCREENS_DIR="Z:${CMAKE_BINARY_DIR}/screens")
  add_dependencies(mv_app_visualizer_tests mv_default_db)
endif()
