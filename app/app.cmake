# The program's own units (everything in app/ but the settings group).
# mv_app_core: the window-free rules of the topic editor and note windows, built
# in both configurations and tested natively.
add_library(mv_app_core STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/DatabaseFile.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DotLines.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/LinkTarget.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/LogLines.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/NoteHistory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/NotePlacement.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/StartupRules.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TagEvents.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TagRewrite.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TopicAddress.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TopicDocument.cpp
)
target_include_directories(mv_app_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(mv_app_core PUBLIC mv_base mv_store)

# The windows (Win32 only): mv_app holds everything but the program block, so
# that the tests and the benchmark drive the real forms in process.
if(MV_WIN32)
  enable_language(RC)
  add_library(mv_app STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/About.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/Find.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/FirstLaunch.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/Log.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/Main.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/MainForm.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/MainStartup.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/NamespaceVisualizer.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/Note.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/NoteBar.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/NoteForm.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/Plugins.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/Rename.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/SingleInstance.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TagManager.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/TopicViewer.cpp
  )
  target_link_libraries(mv_app PUBLIC mv_app_core mv_app_settings mv_richedit mv_components mv_gui shell32)

  set(MV_PROGRAM_DIR "${CMAKE_BINARY_DIR}/bin")
  add_executable(Miravelund WIN32
    ${CMAKE_CURRENT_SOURCE_DIR}/Program.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/res/Miravelund.rc)
  target_link_libraries(Miravelund PRIVATE mv_app)
  set_target_properties(Miravelund PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${MV_PROGRAM_DIR}")
  # Beside the program: the release notes and the (empty) plug-in folder; the
  # template database comes from tools/.
  add_custom_command(TARGET Miravelund POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different "${CMAKE_CURRENT_SOURCE_DIR}/res/ReleaseNotes.html"
            "${MV_PROGRAM_DIR}/ReleaseNotes.html"
    COMMAND ${CMAKE_COMMAND} -E make_directory "${MV_PROGRAM_DIR}/Plugins"
    VERBATIM)
endif()
