# The HTML viewer control: its window-free rules (both configurations) and, on Win32, the
# control itself with its GDI painter and its mouse input.
add_library(mv_htmldisplay_rules STATIC ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplayRules.cpp)
target_include_directories(mv_htmldisplay_rules PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(mv_htmldisplay_rules PUBLIC mv_base)
if(MV_WIN32)
  add_library(mv_htmldisplay STATIC
    ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplayInput.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplayForms.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HtmlFormControls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplayPictures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplayPrint.cpp)
  target_link_libraries(mv_htmldisplay PUBLIC mv_htmldisplay_rules mv_htmlengine mv_htmlimages mv_gui)
endif()
