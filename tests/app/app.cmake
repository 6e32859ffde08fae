# Tests of the program's own units (the settings group has its own fragment).
mv_add_test(mv_app_core_tests
  SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/DatabaseFileTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/DotLinesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/LogLinesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/NotePlacementTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/StartupRulesTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TagRewriteTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TopicAddressTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TopicDocumentTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TopicDocumentFaultTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/UnsavedNotesTest.cpp
    ${CMAKE_SOURCE_DIR}/tests/store/FaultyDisk.cpp
    ${CMAKE_SOURCE_DIR}/tests/store/TempFolder.cpp
  LIBS mv_app_core
  TIMEOUT 60)

# The windows, in process and as whole programs (Win32, under Wine and Xvfb).
if(TARGET Miravelund)
  # Paths as the Windows side sees them (drive Z: is the root of the Linux file system).
  string(REPLACE "/" "\\\\" mv_program_dir_w "Z:${CMAKE_BINARY_DIR}/bin")
  string(REPLACE "/" "\\\\" mv_crash_child_w "Z:${CMAKE_CURRENT_BINARY_DIR}/mv_app_crash_child.exe")
  string(REPLACE "/" "\\\\" mv_screens_dir_w "Z:${CMAKE_BINARY_DIR}/screens")

  add_library(mv_app_test_support STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/AppFixture.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/PanelLinks.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ProgramProcess.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/Screens.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ScreenShots.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/UserInput.cpp)
  target_link_libraries(mv_app_test_support PUBLIC mv_app GTest::gtest)
  target_compile_definitions(mv_app_test_support PRIVATE MV_SCREENS_DIR="${CMAKE_BINARY_DIR}/screens")
  target_include_directories(mv_app_test_support PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_definitions(mv_app_test_support PUBLIC MV_PROGRAM_DIR_W="${mv_program_dir_w}"
                                                        MV_CRASH_CHILD_W="${mv_crash_child_w}"
                                                        MV_SCREENS_DIR_W="${mv_screens_dir_w}")

  mv_add_test(mv_app_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/RoadTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/FaultTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/MainWindowTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/FollowLinkTest.cpp
            ${CMAKE_SOURCE_DIR}/tests/store/FaultyDisk.cpp
    LIBS mv_app_test_support
    TIMEOUT 300)
  add_dependencies(mv_app_tests mv_default_db)
  # The plug-in host's test module with dot-line handlers, when it is built.
  if(TARGET TagPlugin)
    target_compile_definitions(mv_app_tests PRIVATE MV_TAG_PLUGIN_W="Z:$<TARGET_FILE:TagPlugin>")
    add_dependencies(mv_app_tests TagPlugin)
  endif()

  add_executable(mv_app_crash_child ${CMAKE_CURRENT_SOURCE_DIR}/CrashChild.cpp)
  target_link_libraries(mv_app_crash_child PRIVATE mv_app)
  target_include_directories(mv_app_crash_child PRIVATE ${CMAKE_SOURCE_DIR})
  mv_add_test(mv_app_process_tests
    SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/ProcessTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/TrayScreenTest.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/DamageProcessTest.cpp ${CMAKE_CURRENT_SOURCE_DIR}/VolumeTest.cpp
    LIBS mv_app_test_support
    TIMEOUT 600)
  add_dependencies(mv_app_process_tests Miravelund mv_default_db mv_app_crash_child)
  # The same program on a small volume that fills up, and from a read-only view of it: the
  # script mounts them for the run.
  add_test(NAME mv_app_full_volume_tests
           COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/FullVolume.sh $<TARGET_FILE:mv_app_process_tests>)
  set_tests_properties(mv_app_full_volume_tests PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
  if(TARGET ThrowingPlugin)
    add_dependencies(mv_app_process_tests ThrowingPlugin)
    target_compile_definitions(mv_app_process_tests PRIVATE MV_THROWING_PLUGIN_W="Z:$<TARGET_FILE:ThrowingPlugin>")
  endif()
endif()
