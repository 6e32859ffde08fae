# The data provider framework: portable, tested natively under the sanitizers.
add_library(mv_dataprovider_core STATIC
  MvDataStream.cpp
  MvDataProvider.cpp
  MvDataConsumer.cpp)
target_include_directories(mv_dataprovider_core PUBLIC "${CMAKE_SOURCE_DIR}")
target_link_libraries(mv_dataprovider_core PUBLIC mv_controls_core mv_base ${MV_COMPONENT_BASE})
if(MV_WIN32)
  target_sources(mv_dataprovider_core PRIVATE MvGuidSourceWin32.cpp)
  target_link_libraries(mv_dataprovider_core PUBLIC mv_controls ole32)
else()
  target_sources(mv_dataprovider_core PRIVATE MvGuidSourcePosix.cpp)
endif()
