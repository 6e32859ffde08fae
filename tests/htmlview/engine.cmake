# Tests of the HTML document engine (window-free; they run natively and under Wine).
mv_add_test(htmlengine_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlBuilderTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlLayoutTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlScannerTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlTableTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/HtmlUtilsTest.cpp
  LIBS mv_htmlengine_core
  TIMEOUT 120)
