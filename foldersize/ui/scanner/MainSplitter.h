// MainSplitter.h: how the main window sets up its splitter between the folder tree and the file
// list, and converts the stored divider position ([Form] TVW, in twips) to and from pixels.
#pragma once

#include "foldersize/ui/scanner/cSplitter.h"

namespace foldersize {

// Twips per pixel of a widget's screen along x (1440 twips to the inch; 15 at 96 dpi).
double twipsPerPixelX(const QWidget* widget);

// Bar 5 pixels wide with the raised look, outline drag, tree left of the list in container;
// the position is tvwTwips divided by twipsPerPixel, rounded to a whole pixel (halves to even).
void bindMainSplitter(cSplitter& splitter, QWidget* container, QWidget* tree, QWidget* list, double tvwTwips,
    double twipsPerPixel);

// Pixels of a stored divider position: twips divided by twipsPerPixel, rounded to a whole pixel
// (halves to even).
int splitterPixels(double twips, double twipsPerPixel);

// The divider position as stored: pixels times twips per pixel.
double splitterPositionTwips(const cSplitter& splitter, double twipsPerPixel);

} // namespace foldersize
