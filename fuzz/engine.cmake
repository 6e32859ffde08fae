# Fuzz targets of the HTML document engine: the scanner alone, and a whole document parsed,
# laid out, drawn, hit-tested and searched. Real seeds: HTML documentation that Debian packages
# ship (copied by scripts/setup into build/deps/testhtml).
mv_add_fuzz_target(html_scanner
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/HtmlScannerFuzz.cpp"
  LIBS mv_htmlengine_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/html_scanner" "${MV_DEPS}/testhtml")
mv_add_fuzz_target(html_document
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/HtmlDocumentFuzz.cpp"
  LIBS mv_htmlengine_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/html_document" "${MV_DEPS}/testhtml")
