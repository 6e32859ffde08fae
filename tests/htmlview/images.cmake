# Tests of the picture side of the HTML display. The decoders are checked natively against real
# pictures we did not make, decoded by giflib's and libjpeg's own decoders.
set(MV_TESTPICS "${MV_DEPS}/testpics")
if(NOT MV_WIN32)
  find_path(MV_GIFLIB_INCLUDE gif_lib.h)
  find_library(MV_GIFLIB gif)
  mv_add_test(htmlimages_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/HtmlImageCacheTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/GifDecoderTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/GifReference.cpp
      ${CMAKE_CURRENT_LIST_DIR}/GifTestFiles.cpp
      ${CMAKE_CURRENT_LIST_DIR}/HtmlDitherTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/PictureDecoderTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/PictureOracle.cpp
    LIBS mv_htmlimages_core ${MV_GIFLIB})
  target_include_directories(htmlimages_tests PRIVATE ${MV_GIFLIB_INCLUDE})
  target_compile_definitions(htmlimages_tests PRIVATE MV_TESTPICS="${MV_TESTPICS}"
                             MV_ANIMATIONS="${CMAKE_CURRENT_LIST_DIR}/animations")
  # Pictures as the document engine holds them, with pictures of our own making.
  mv_add_test(htmlpictures_engine_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/HtmlPictureObjectsTest.cpp
    LIBS mv_htmlengine_core)
endif()

if(MV_WIN32)
  mv_add_test(htmlimages_win32_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/HtmlImagesWin32Test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/GifImageWin32Test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/HtmlImageFetchWin32Test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/HtmlImagePictureWin32Test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/HtmlImageDocumentWin32Test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/GifReference.cpp
      ${CMAKE_CURRENT_LIST_DIR}/GifTestFiles.cpp
      ${CMAKE_CURRENT_LIST_DIR}/ImageScreens.cpp
      ${CMAKE_CURRENT_LIST_DIR}/PictureOracle.cpp
      ${CMAKE_CURRENT_LIST_DIR}/WineFontFacesWin32Test.cpp
    LIBS mv_htmlimages mv_htmlengine_core)
  target_compile_definitions(htmlimages_win32_tests PRIVATE MV_TESTPICS="Z:${MV_TESTPICS}"
                             MV_ANIMATIONS="Z:${CMAKE_CURRENT_LIST_DIR}/animations"
                             MV_SCREENS_DIR="Z:${CMAKE_BINARY_DIR}/screens")
endif()
