// Everything for drawing: colours, fonts, brushes, pens, the canvas and the picture classes.
#pragma once

#include "gui/Canvas.h"
#include "gui/GdiGuards.h"
#include "gui/GraphicImages.h"
#include "gui/GraphicsObjects.h"
