# Fuzz target of the program's topic text as the topic editor reads it (dot-lines, tags, link
# following).
mv_add_fuzz_target(topic_text
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/TopicTextFuzz.cpp"
  LIBS mv_app_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/topic_text")
