# The small dialogs' units beyond those the application's list names: the
# credits box, the special-character picker and the banner they share.
if(MV_WIN32)
  target_sources(mv_app PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/Credits.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/DialogBanner.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/InsertChar.cpp)
  target_link_libraries(mv_app PUBLIC mv_labels)
endif()
