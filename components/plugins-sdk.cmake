# The plug-in SDK's samples, built the way an outside developer builds them: a
# copy of components/sdk alone, configured as a project of its own with the
# toolchain file the SDK ships, as its README says. Nothing else of the source
# tree is visible to it.
if(MV_WIN32)
  include(ExternalProject)
  set(mv_sdk_copy "${CMAKE_BINARY_DIR}/sdk-standalone/src")
  set(MV_SDK_SAMPLES_DIR "${CMAKE_BINARY_DIR}/sdk-standalone/build" CACHE INTERNAL "")
  file(GLOB mv_sdk_files "${CMAKE_CURRENT_SOURCE_DIR}/sdk/*")
  file(GLOB mv_sdk_sample_files "${CMAKE_CURRENT_SOURCE_DIR}/sdk/samples/*")
  list(FILTER mv_sdk_files EXCLUDE REGEX "/samples$")
  ExternalProject_Add(mv_sdk_samples
    SOURCE_DIR "${mv_sdk_copy}"
    BINARY_DIR "${MV_SDK_SAMPLES_DIR}"
    DOWNLOAD_COMMAND ""
    UPDATE_COMMAND ""
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  ExternalProject_Add_Step(mv_sdk_samples copy_sdk
    COMMAND ${CMAKE_COMMAND} -E make_directory "${mv_sdk_copy}/samples"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${mv_sdk_files} "${mv_sdk_copy}"
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${mv_sdk_sample_files} "${mv_sdk_copy}/samples"
    DEPENDEES download
    DEPENDERS configure
    DEPENDS ${mv_sdk_files} ${mv_sdk_sample_files})
endif()
