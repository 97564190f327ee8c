#include "purchasing/WindowLayout.h"

#include <QWidget>

namespace purchasing::layout {

int px(double twips)
{
    return int(twips / 15.0 + 0.5);
}

void arrange(QWidget *form, QWidget *top, QWidget *grid, int left, int gridTop, double widthMargin,
             double heightMargin)
{
    if (form->isMinimized() || (form->parentWidget() && form->parentWidget()->isMinimized()))
        return;
    top->setGeometry(0, 0, form->width(), gridTop);
    grid->move(left, gridTop);
    const int w = form->width() - px(widthMargin);
    const int h = form->height() - px(heightMargin);
    grid->resize(w > 0 ? w : grid->width(), h > 0 ? h : grid->height());
}

} // namespace purchasing::layout
