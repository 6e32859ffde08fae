# Tests of the program's own units (the settings group has its own fragment).
mv_add_test(mv_app_core_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/DatabaseFileTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/DotLinesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/StartupRulesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TopicAddressTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TopicDocumentTest.cpp
  LIBS mv_app_core
  TIMEOUT 60)
