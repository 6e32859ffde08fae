# Tests of the program's own units (the settings group has its own fragment).
# Until the string lists land in base/, the core tests cannot link.
if(EXISTS "${CMAKE_SOURCE_DIR}/base/StringList.cpp")
  set(mv_app_core_test_sources
    ${CMAKE_CURRENT_SOURCE_DIR}/DotLinesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/StartupRulesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TopicAddressTest.cpp)
  if(TARGET mv_store)
    list(APPEND mv_app_core_test_sources ${CMAKE_CURRENT_SOURCE_DIR}/TopicDocumentTest.cpp)
  endif()
  mv_add_test(mv_app_core_tests SOURCES ${mv_app_core_test_sources} LIBS mv_app_core TIMEOUT 60)
endif()
