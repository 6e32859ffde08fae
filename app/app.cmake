# The program's own units (everything in app/ but the settings group).
# mv_app_core: the window-free rules of the topic editor and note windows, built
# in both configurations and tested natively.
add_library(mv_app_core STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/DatabaseFile.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/DotLines.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/LinkTarget.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/NoteHistory.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/StartupRules.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TagEvents.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TopicAddress.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/TopicDocument.cpp
)
target_include_directories(mv_app_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(mv_app_core PUBLIC mv_base mv_store)

