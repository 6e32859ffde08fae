# The finder: its window-free rules join the program's core, its window uses the
# checked combo boxes of the component library.
target_sources(mv_app_core PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/FindRules.cpp)
if(MV_WIN32)
  target_link_libraries(mv_app PUBLIC mv_controls)
endif()
