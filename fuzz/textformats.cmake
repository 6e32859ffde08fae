# Fuzz targets of the program's own text formats: the log file's records, name=value lists, and a
# topic's text as the topic editor reads it (dot-lines, tags, link following).
mv_add_fuzz_target(log_format
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/LogFormatFuzz.cpp"
  LIBS mv_logfile
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/log_format")
mv_add_fuzz_target(topic_text
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/TopicTextFuzz.cpp"
  LIBS mv_app_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/topic_text")
mv_add_fuzz_target(name_value
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/NameValueFuzz.cpp"
  LIBS mv_base
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/name_value")
