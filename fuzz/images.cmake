# Fuzz targets of the picture decoders.
mv_add_fuzz_target(gif_decoder
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/GifDecoderFuzz.cpp"
  LIBS mv_htmlimages_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/gif_decoder" "${MV_DEPS}/testpics/gif")
