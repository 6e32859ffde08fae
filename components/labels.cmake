# Markup label and markup renderer, panel and mouse timer. The renderer is
# window-free (tested natively with fixed metrics); the controls are Win32 only.
add_library(mv_labels_core STATIC "${CMAKE_CURRENT_LIST_DIR}/MvMarkup.cpp")
target_include_directories(mv_labels_core PUBLIC "${CMAKE_SOURCE_DIR}")
target_link_libraries(mv_labels_core PUBLIC mv_base)

if(MV_WIN32)
  add_library(mv_labels STATIC
    "${CMAKE_CURRENT_LIST_DIR}/MvHtControls.cpp"
    "${CMAKE_CURRENT_LIST_DIR}/MvMouseTimer.cpp"
    "${CMAKE_CURRENT_LIST_DIR}/MvPanel.cpp")
  target_link_libraries(mv_labels PUBLIC mv_labels_core mv_controls mv_components mv_richedit mv_gui mv_base shell32)
endif()
