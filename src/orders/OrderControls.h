#pragma once

#include <QString>

// Small pieces the order windows share.
namespace orders {

// How the order grids show money.
inline const QString &moneyFormat()
{
    static const QString format = QStringLiteral("$#,###.##");
    return format;
}

} // namespace orders
