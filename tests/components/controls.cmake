# Periphery controls: their window-free rules natively, the controls under Wine.
mv_add_test(mv_controls_core_tests
  SOURCES MvTextFitTest.cpp ControlsRulesTest.cpp
  LIBS mv_controls_core)

if(MV_WIN32)
  mv_add_test(mv_controls_win32_tests
    SOURCES
      MessagePump.cpp
      Screens.cpp
      ScreenPixels.cpp
      GraphUtilsTest.cpp
      CheckListBoxTest.cpp
      SpeedButtonTest.cpp
      ComboEditTest.cpp
      CheckedComboTest.cpp
      ControlsScreenTest.cpp
    LIBS mv_controls)
  target_compile_definitions(mv_controls_win32_tests PRIVATE MV_SCREENS_DIR="Z:${CMAKE_BINARY_DIR}/screens")
endif()
