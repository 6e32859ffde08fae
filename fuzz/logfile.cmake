# Fuzz target of the log file's records and their line format.
mv_add_fuzz_target(log_format
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/LogFormatFuzz.cpp"
  LIBS mv_logfile
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/log_format")
