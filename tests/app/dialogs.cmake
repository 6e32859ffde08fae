# The small dialogs, in process under Wine; their screens go to build/win32/screens.
if(TARGET mv_app_test_support)
  mv_add_test(mv_dialogs_tests
    SOURCES
      ${CMAKE_CURRENT_SOURCE_DIR}/DialogsTest.cpp
    LIBS mv_test_windows mv_app_test_support
    TIMEOUT 300)
  add_dependencies(mv_dialogs_tests mv_default_db)
  target_compile_definitions(mv_dialogs_tests PRIVATE MV_SCREENS_DIR="Z:${CMAKE_BINARY_DIR}/screens")
endif()
