// The pictures of the command images (the bitmap resource "MVCOMMANDS", a strip
// drawn by tools/make_toolbar_images.py), by their place in the main window's image list.
#pragma once

namespace mv::app {

enum TCommandImage : int {
    imgBold,
    imgUnderline,
    imgItalic,
    imgStrikeout,
    imgBulleted,
    imgNumbered,
    imgBigger,
    imgNormal,
    imgSmaller,
    imgIndent,
    imgOutdent,
    imgInsert,
    imgCut,
    imgCopy,
    imgPaste,
    imgUnlink,
    imgInsertChar,
    imgInsertImage,
    imgInsertObject,
    imgNewNote,
    imgSave,
    imgDelete,
    imgRename,
    imgFind,
    imgBackward,
    imgForward,
    imgPlugins,
    imgAbout,
    imgSwitch,
    imgEditBar,
    imgFileBar,
    imgCommandCount
};

// The name of the bitmap resource and its transparent colour (magenta).
inline constexpr const char* CommandImagesResource = "MVCOMMANDS";
inline constexpr unsigned CommandImagesMask = 0x00FF00FF;

} // namespace mv::app
