# Markup renderer natively with fixed metrics; the label, panel and mouse timer
# under Wine.
mv_add_test(mv_labels_core_tests
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/MvMarkupTest.cpp"
  LIBS mv_labels_core)

if(MV_WIN32)
  mv_add_test(mv_labels_win32_tests
    SOURCES
      "${CMAKE_CURRENT_LIST_DIR}/MessagePump.cpp"
      "${CMAKE_CURRENT_LIST_DIR}/Screens.cpp"
      "${CMAKE_CURRENT_LIST_DIR}/ScreenPixels.cpp"
      "${CMAKE_CURRENT_LIST_DIR}/MvHtLabelTest.cpp"
      "${CMAKE_CURRENT_LIST_DIR}/MvPanelTest.cpp"
    LIBS mv_labels)
  target_compile_definitions(mv_labels_win32_tests PRIVATE MV_SCREENS_DIR="Z:${CMAKE_BINARY_DIR}/screens")
endif()
