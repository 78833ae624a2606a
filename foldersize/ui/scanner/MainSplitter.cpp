// MainSplitter.cpp: the main window's splitter set-up and the twips conversion of its position.
#include "foldersize/ui/scanner/MainSplitter.h"

#include <cmath>

namespace foldersize {

double twipsPerPixelX(const QWidget* widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

void bindMainSplitter(cSplitter& splitter, QWidget* container, QWidget* tree, QWidget* list, double tvwTwips,
    double twipsPerPixel)
{
    splitter.setSplitterSize(5);
    splitter.setDrawSplitterbar(true);
    splitter.setFullDrag(false);
    splitter.setOrientation(cSplitter::kVerticalBar);
    splitter.setContainer(container);
    splitter.Bind(tree, list);
    if (twipsPerPixel > 0)
        splitter.setPosition(splitterPixels(tvwTwips, twipsPerPixel));
}

int splitterPixels(double twips, double twipsPerPixel)
{
    return static_cast<int>(std::nearbyint(twips / twipsPerPixel));
}

double splitterPositionTwips(const cSplitter& splitter, double twipsPerPixel)
{
    return splitter.Position() * twipsPerPixel;
}

} // namespace foldersize
