# Fuzz targets of the HTML document engine: the scanner alone, and a whole document parsed,
# laid out, drawn, hit-tested and searched. Real pages: HTML documentation that Debian packages
# ship (copied by scripts/setup into build/deps/testhtml). A whole document runs thousands of
# times a second only on short inputs, so it fuzzes from its small committed corpus with inputs
# of at most 4 KB, and the real pages (up to 150 KB) are replayed by the test.
mv_add_fuzz_target(html_scanner
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/HtmlScannerFuzz.cpp"
  LIBS mv_htmlengine_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/html_scanner" "${MV_DEPS}/testhtml")
mv_add_fuzz_target(html_document
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/HtmlDocumentFuzz.cpp"
  LIBS mv_htmlengine_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/html_document"
  REPLAY "${MV_DEPS}/testhtml"
  MAX_LEN 4096)
