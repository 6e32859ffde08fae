# The HTML document engine: scanner, document builder, sections, line breaking, tables,
# hit tests. Window-free (mv_htmlengine_core, both configurations); the GDI side of its
# seam builds for Win32 only.
add_library(mv_htmlengine_core STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/FixedMetrics.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlBlocks.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlDocumentEdit.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlFonts.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlForms.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlLinkLines.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlObjects.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlParser.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlParserForms.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlParserLinkLines.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlParserLists.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlParserPre.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlParserTables.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlSections.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlTable.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlTextSection.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlScanner.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlSymbols.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/HtmlUtils.cpp
)
target_include_directories(mv_htmlengine_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(mv_htmlengine_core PUBLIC mv_base)

# The GDI side of the seam (Win32): metrics and painting over an HDC, the document font cache;
# the viewer, the engine's Win32 tests and html_bench all use this one.
if(MV_WIN32)
  add_library(mv_htmlengine STATIC ${CMAKE_CURRENT_SOURCE_DIR}/HtmlDisplayPainter.cpp
                                   ${CMAKE_CURRENT_SOURCE_DIR}/HtmlUnderline.cpp)
  target_link_libraries(mv_htmlengine PUBLIC mv_htmlengine_core mv_htmlimages)
endif()
