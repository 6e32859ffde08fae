# Fuzz target of the labels: the markup renderer.
mv_add_fuzz_target(markup
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/MarkupFuzz.cpp"
  LIBS mv_labels_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/markup")
