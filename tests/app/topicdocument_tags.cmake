# Tag links through the topic document over a real notes store (window-free, both builds).
mv_add_test(mv_app_tag_link_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/TopicDocumentTagLinkTest.cpp
    ${CMAKE_SOURCE_DIR}/tests/store/TempFolder.cpp
  LIBS mv_app_core
  TIMEOUT 60)
