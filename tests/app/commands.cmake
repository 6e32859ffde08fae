# The note window's commands, the tag manager and the rename window, end to end
# on the real forms (Win32, under Wine and Xvfb).
if(TARGET mv_app_test_support)
  mv_add_test(mv_commands_tests
    SOURCES
      ${CMAKE_CURRENT_SOURCE_DIR}/CommandsTest.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/TopicCommandsTest.cpp
      ${CMAKE_CURRENT_SOURCE_DIR}/PicturesTest.cpp
    LIBS mv_app_test_support
    TIMEOUT 300)
  add_dependencies(mv_commands_tests mv_default_db)
  target_compile_definitions(mv_commands_tests PRIVATE
    MV_JPEG_TESTIMAGES="${CMAKE_SOURCE_DIR}/build/deps/testpics/jpeg")
endif()
