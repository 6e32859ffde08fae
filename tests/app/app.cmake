# Tests of the program's own units (the settings group has its own fragment).
# Until the string lists land in base/, the core tests cannot link.
if(EXISTS "${CMAKE_SOURCE_DIR}/base/StringList.cpp")
mv_add_test(mv_app_core_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/DotLinesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TopicAddressTest.cpp
  LIBS mv_app_core
  TIMEOUT 60)
endif()
