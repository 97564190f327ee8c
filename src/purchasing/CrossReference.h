#pragma once

#include "core/Database.h"
#include "core/Refusal.h"

#include <QString>
#include <QStringList>

#include <optional>

// The cross-reference table the demand import looks a customer's item number up in: the
// supplier's part, its description, colour, R-string and cost.
namespace purchasing {

struct CrossReferenceValues
{
    QString refNumber;
    QString partNumber;
    QString description;
    QString colorName;
    QString rStringNumber;
    QString cost; // as typed; empty for none
};

// Every customer reference number, in order.
QStringList crossReferenceNumbers();
std::optional<Row> findCrossReference(const QString &refNumber);
// A reference number is required; a cost, when given, is an amount of money of at least 0.
std::optional<Refusal> refuseCrossReference(const CrossReferenceValues &values);
// Changes the row of the reference number, or adds it. True when added. Values the rule refuses
// throw DbError, writing nothing.
bool saveCrossReference(const CrossReferenceValues &values);

} // namespace purchasing
