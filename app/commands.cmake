# The note window's command images: a bitmap resource linked into every
# program that uses the windows (the program itself and the test programs).
if(MV_WIN32)
  add_library(mv_app_command_images OBJECT ${CMAKE_CURRENT_SOURCE_DIR}/res/Commands.rc)
  target_sources(mv_app INTERFACE $<TARGET_OBJECTS:mv_app_command_images>)
  target_sources(mv_app PRIVATE
    ${CMAKE_CURRENT_SOURCE_DIR}/NoteCommands.cpp)
endif()
