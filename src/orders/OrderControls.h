#pragma once

#include <QPushButton>
#include <QString>

// Small pieces the order windows share.
namespace orders {

// How the order grids show money.
inline const QString &moneyFormat()
{
    static const QString format = QStringLiteral("$#,###.##");
    return format;
}

// A command button that does not take Enter from the text boxes.
inline QPushButton *commandButton(const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace orders
