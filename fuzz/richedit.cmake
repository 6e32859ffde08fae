# Fuzz target of the rich-edit control: the picture files the note window inserts.
mv_add_fuzz_target(richedit_pictures
  SOURCES "${CMAKE_CURRENT_LIST_DIR}/RichEditPicturesFuzz.cpp"
  LIBS mv_richedit_core
  CORPUS "${CMAKE_CURRENT_LIST_DIR}/corpus/richedit_pictures" "${MV_DEPS}/testpics/jpeg")
