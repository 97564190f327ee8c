#pragma once

class QWidget;

// The purchasing windows: the controls in a panel at the top, the grid filling the rest.
namespace purchasing::layout {

// Sizes are kept in twips as the layout rules give them; 15 twips make a pixel on the screen.
int px(double twips);

// Unless `form` is minimized: `top` spans the form above `gridTop`; `grid` stands at
// (`left`, `gridTop`), as wide as the form less `widthMargin` and as high as it less
// `heightMargin`, each only when that is positive. Margins in twips, positions in pixels.
void arrange(QWidget *form, QWidget *top, QWidget *grid, int left, int gridTop, double widthMargin,
             double heightMargin);

} // namespace purchasing::layout
