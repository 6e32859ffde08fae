# Tests of the HTML document engine (window-free; they run natively and under Wine).
mv_add_test(htmlengine_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlBuilderTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlFastLinkLinesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlFormsTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlIncrementalTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlLayoutTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlLinkLinesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlMeasureTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlScannerTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlSectionStorageTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlTableTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlUtilsTest.cpp
  LIBS mv_htmlengine_core
  TIMEOUT 120)

# The engine on GDI under Wine: drawing into bitmaps, the font cache, shared pictures.
if(MV_WIN32)
  mv_add_test(htmlengine_win32_tests
    SOURCES
      ${CMAKE_CURRENT_SOURCE_DIR}/HtmlEngineWin32Test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/HtmlLinkLinesWin32Test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/HtmlPainterWin32Test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/HtmlTextInkWin32Test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/HtmlUnderlineWin32Test.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/GifTestFiles.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/ImageScreens.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/PictureOracle.cpp
    LIBS mv_htmlengine
    TIMEOUT 120)
  target_compile_definitions(htmlengine_win32_tests PRIVATE MV_SCREENS_DIR="Z:${CMAKE_BINARY_DIR}/screens")
endif()
