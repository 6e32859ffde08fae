# Periphery controls: the check list box, speed button, combo edit and checked combo
# box with their drawing helpers. The window-free rules (text fitting, GUIDs, glyph
# layout, the checked combo's text) build in both configurations.
add_library(mv_controls_core STATIC
  MvGuid.cpp
  MvTextFit.cpp
  MvButtonLayout.cpp
  MvCheckedText.cpp)
target_include_directories(mv_controls_core PUBLIC "${CMAKE_SOURCE_DIR}")
target_link_libraries(mv_controls_core PUBLIC mv_base)

if(MV_WIN32)
  add_library(mv_controls STATIC
    MvFragments.cpp
    MvGraphUtils.cpp
    MvCheckListBox.cpp
    MvGlyphCache.cpp
    MvButtonGlyph.cpp
    MvSpeedButton.cpp
    MvAutoComplete.cpp
    MvToolEdit.cpp
    MvCombobox.cpp)
  target_link_libraries(mv_controls PUBLIC mv_controls_core mv_richedit mv_gui mv_base comctl32 ole32 uxtheme)
endif()
