// The side panel the finder's floors draw into: a bare form at the finder's place holding one
// panel set up as the finder's result list is (its font, colours, border, scroll bars and size),
// so that a floor does the platform work the list does. Read from a finder's own list, so that
// the floors follow the finder when its list changes.
#pragma once

class TForm;
class TfrmFind;
class TNamespaceVisualizer;

// Places Form over Finder with a client area of the list's size (Finder shown, so that its list
// has its aligned size) and fills it with the panel, which Form owns. Form is not shown.
TNamespaceVisualizer* AddFinderListLike(TForm& Form, TfrmFind& Finder);
