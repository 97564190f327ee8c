#pragma once

#include "core/Money.h"
#include "core/Refusal.h"

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// Inventory adjustments and material unit values. Stock is never stored: it is the sum of the
// adjustment quantities up to a day minus the feet cut on cut sheets up to that day, the
// material of a cut sheet being that of the order line it cuts.
namespace inventory {

// One material with its stock on hand as of a day and its average adjustment price then.
struct StockLine
{
    QString material;
    QString description;
    QString status;
    QString type;
    double onHand = 0;
    Money averagePrice; // 0 when the material has no adjustments up to the day
};
// Every material, whatever its status, by status, type and ID.
std::vector<StockLine> stockOnHand(const QDate &asOf);

// "Yards" for vinyl (exact spelling), "Feet" for everything else.
QString unitOfMeasure(const QString &materialType);

// A grid cell read as a number: blank or non-numeric text counts as 0.
Money cellNumber(const QString &text);
bool isNumeric(const QString &text);
// A quantity as plain decimal text, to four decimals at most ("12.5", "-3").
QString plainNumber(double value);

// Halfway from `current` towards `unitPrice`, rounded to cents with halves to the even cent.
Money runningAverage(Money current, Money unitPrice);

// The reason may hold up to 255 characters.
std::optional<Refusal> refuseReason(const QString &reason);

// An adjusted grid line as it stands: material and the cell texts.
struct AdjustmentLine
{
    QString material;
    QString adjustment;
    QString priceEach;
    QString priceExt;
};

struct Adjustment
{
    QDate date;
    QString reason;
    std::vector<AdjustmentLine> lines;
};

// Writes the header, its lines and every adjusted material's value in one transaction: all or
// nothing. Returns the new adjustment's ID, or the refusal (nothing written).
struct SavedAdjustment
{
    qint64 id = 0;
    std::optional<Refusal> refusal;
};
SavedAdjustment saveAdjustment(const Adjustment &adjustment);

// One material with its stored unit value (0 when it has none).
struct ValueLine
{
    QString material;
    QString description;
    QString status;
    QString type;
    Money price;
};
// Every material by type, status and ID.
std::vector<ValueLine> itemValues();

// A typed new unit value; blank or non-numeric entries become "0.00" with this refusal.
std::optional<Refusal> refuseNewPrice(const QString &text);

struct NewPrice
{
    QString material;
    QString price; // as typed; saved rounded to cents
    QString loaded; // the value as the window loaded it; empty: not judged
};
// Sets (or adds) each material's value, in one transaction. A value changed since the window
// loaded it is refused with DbError::changed and nothing is written.
void saveItemValues(const std::vector<NewPrice> &prices);

// The confirmation the reset asks first.
QString resetQuestion();
// Replaces every unit value by the rounded plain average unit price of all the material's
// adjustment lines, in one transaction; materials without lines lose their value.
void resetItemPrices();

} // namespace inventory
