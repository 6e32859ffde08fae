# Pictures of the HTML display: decoders, colour reduction and the picture cache (window-free,
# both configurations), and on Win32 the loaders, the display set-up and the animated GIF.
add_library(mv_htmlimages_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/HtmlImageTypes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HtmlImageCache.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GifDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BmpDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/JpegDecoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HtmlDither.cpp
)
target_include_directories(mv_htmlimages_core PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(mv_htmlimages_core PUBLIC mv_base mv_pictures)
target_sources(mv_htmlimages_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/HtmlImageDecode.cpp)

if(MV_WIN32)
  add_library(mv_htmlimages STATIC
    ${CMAKE_CURRENT_LIST_DIR}/HtmlImageDisplay.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HtmlImageLoad.cpp
    ${CMAKE_CURRENT_LIST_DIR}/GifImage.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HtmlImageFetch.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HtmlImagePicture.cpp
  )
  target_link_libraries(mv_htmlimages PUBLIC mv_htmlimages_core mv_gui winmm)
  # The stand-in pictures and the viewer's cursors: resources linked into every program that
  # shows pictures (the program itself and the test programs).
  add_library(mv_htmlimages_resources OBJECT ${CMAKE_CURRENT_LIST_DIR}/res/HtmlPictures.rc)
  target_sources(mv_htmlimages INTERFACE $<TARGET_OBJECTS:mv_htmlimages_resources>)
endif()
