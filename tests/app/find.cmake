# The finder: its rules natively, its window end to end under Wine.
mv_add_test(mv_app_find_core_tests
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/FindRulesTest.cpp
  LIBS mv_app_core
  TIMEOUT 60)

if(TARGET mv_app_test_support)
  mv_add_test(mv_app_find_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/FindTest.cpp
    LIBS mv_test_windows mv_app_test_support mv_controls
    TIMEOUT 300)
  add_dependencies(mv_app_find_tests mv_default_db)
  target_compile_definitions(mv_app_find_tests PRIVATE MV_SCREENS_DIR="Z:${CMAKE_BINARY_DIR}/screens")
endif()
