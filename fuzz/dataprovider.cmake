# Fuzz target of the data provider framework's stream reader.
mv_add_fuzz_target(data_stream
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/DataStreamFuzz.cpp"
  LIBS mv_dataprovider
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/data_stream")
