# Tests of the HTML viewer: its rules natively and under Wine; the control itself under Wine.
mv_add_test(htmldisplay_rules_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplayRulesTest.cpp
  LIBS mv_htmldisplay_rules
  TIMEOUT 60)
if(MV_WIN32)
  mv_add_test(htmldisplay_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplayTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplayFormsTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplayPicturesTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/GifTestFiles.cpp
    LIBS mv_test_windows mv_htmldisplay
    TIMEOUT 300)
  target_compile_definitions(htmldisplay_tests PRIVATE
    MV_RELEASE_NOTES="Z:${CMAKE_SOURCE_DIR}/app/res/ReleaseNotes.html"
    MV_SCREENS_DIR="Z:${CMAKE_BINARY_DIR}/screens")
endif()
# The viewer drawn into DCs it is handed, its Repaint, its script/include/charset properties
# and drags forwarded from its paint panel.
if(MV_WIN32)
  mv_add_test(htmldisplay_print_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/HtmlDisplayPrintTest.cpp
    LIBS mv_test_windows mv_htmldisplay winspool
    TIMEOUT 300)
  target_compile_definitions(htmldisplay_print_tests PRIVATE
    MV_SCREENS_DIR="Z:${CMAKE_BINARY_DIR}/screens")
endif()
