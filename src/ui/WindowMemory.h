#pragma once

#include <QRect>
#include <QString>

#include <optional>

// Where each inner window was and how large, kept between runs in one settings file. Off until a
// file is set, so that a window opened by a test always opens the same way.
namespace windowMemory {

void setFile(const QString &path);
QString file();

std::optional<QRect> recall(const QString &window);
void remember(const QString &window, const QRect &geometry);

// The width the clerk last gave a grid's column, by the grid ("Shipment/vsfgShipment") and the
// column's heading.
std::optional<int> recallColumn(const QString &grid, const QString &heading);
void rememberColumn(const QString &grid, const QString &heading, int width);

} // namespace windowMemory
