// TDialogBanner: the picture across the top of the first-launch, about and
// credits boxes: the program's name on a shaded band.
#pragma once

#include "gui/CustomControl.h"

class TDialogBanner : public TGraphicControl {
public:
    explicit TDialogBanner(TComponent* AOwner);

protected:
    void Paint() override;
};

class TMvPanel;
class TMvHTLabel;
class TForm;

// The white lowered frame of these boxes, with the banner at its top.
TMvPanel* NewWhiteDialogPanel(TForm* Form, int Left, int Top, int Width, int Height);
// A markup label on Parent at (Left, Top).
TMvHTLabel* NewMarkupLabel(TForm* Form, TMvPanel* Parent, int Left, int Top, const char* Caption);
