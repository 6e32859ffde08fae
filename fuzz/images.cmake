# Fuzz targets of the picture decoders.
mv_add_fuzz_target(gif_decoder
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/GifDecoderFuzz.cpp"
  LIBS mv_htmlimages_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/gif_decoder" "${MV_DEPS}/testpics/gif")
mv_add_fuzz_target(bmp_decoder
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/BmpDecoderFuzz.cpp"
  LIBS mv_htmlimages_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/bmp_decoder" "${MV_DEPS}/testpics/jpeg")
mv_add_fuzz_target(jpeg_decoder
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/JpegDecoderFuzz.cpp"
  LIBS mv_htmlimages_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/jpeg_decoder" "${MV_DEPS}/testpics/jpeg")
