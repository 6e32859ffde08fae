# Fuzz target of the runtime's name=value lists.
mv_add_fuzz_target(name_value
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/NameValueFuzz.cpp"
  LIBS mv_base
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/name_value")
