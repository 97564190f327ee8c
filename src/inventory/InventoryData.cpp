#include "inventory/InventoryData.h"

#include "core/Clock.h"
#include "core/Database.h"
#include "inventory/StockSql.h"

namespace inventory {

std::vector<StockLine> stockOnHand(const QDate &asOf)
{
    const QString sqlText =
        QStringLiteral("SELECT Material.ID AS Material, Material.Description AS Description, "
                       "Material.Status AS Status, Material.Type AS Type, a.OnHand AS OnHandAdj, "
                       "c.OnHand AS OnHandCut, a.Average AS Average FROM Material "
                       "LEFT JOIN %1 a ON Material.ID = a.Material "
                       "LEFT JOIN %2 c ON Material.ID = c.Material "
                       "ORDER BY Material.Status, Material.Type, Material.ID")
            .arg(sql::adjusted("<=", ", AVG(AdjustmentItem.PriceEach) AS Average"), sql::cut(DbConnection(), "<="));
    std::vector<StockLine> lines;
    for (const Row &r : DbConnection().query(sqlText, {asOf, asOf})) {
        // A missing half counts as nothing: no adjustments, no cutting, or neither.
        const double in = r.number(QStringLiteral("OnHandAdj"));
        const double out = r.number(QStringLiteral("OnHandCut"));
        lines.push_back({r.text(QStringLiteral("Material")), r.text(QStringLiteral("Description")),
                         r.text(QStringLiteral("Status")), r.text(QStringLiteral("Type")), in - out,
                         r.money(QStringLiteral("Average"))});
    }
    return lines;
}

QString unitOfMeasure(const QString &materialType)
{
    return materialType == QLatin1String("Vinyl") ? QStringLiteral("Yards") : QStringLiteral("Feet");
}

Money cellNumber(const QString &text)
{
    return Money::parse(text).value_or(Money());
}

bool isNumeric(const QString &text)
{
    return Money::parse(text).has_value();
}

QString plainNumber(double value)
{
    return Money::fromDouble(value).toPlainString();
}

Money runningAverage(Money current, Money unitPrice)
{
    // The half-sum to cents in whole units, so a 5 in the fifth decimal is never rounded twice.
    const std::int64_t sum = current.units() + unitPrice.units();
    const std::int64_t step = 2 * (Money::Scale / 100);
    std::int64_t q = sum / step;
    std::int64_t r = sum % step;
    if (r < 0) {
        r += step;
        --q;
    }
    if (2 * r > step || (2 * r == step && (q % 2 != 0)))
        ++q;
    return Money::fromUnits(q * (Money::Scale / 100));
}

std::optional<Refusal> refuseReason(const QString &reason)
{
    if (reason.size() <= 255)
        return std::nullopt;
    return Refusal{QStringLiteral("You may only enter up to 255 characters in the Description Field."),
                   QStringLiteral("Too Many Characters"), QStringLiteral("txtReason")};
}

namespace {

// The material's first stored value, if it has one.
std::optional<Money> storedValue(Database &db, const QString &material)
{
    const RowSet rows =
        db.query(QStringLiteral("SELECT Price FROM ItemValue WHERE MaterialID = ? LIMIT 1"), {material});
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first().money(QStringLiteral("Price"));
}

// One writer at a time of each material's value: the running average reads it before it writes,
// and a material without a value must not get two. Taken in name order, so two saves never wait
// on each other crosswise.
void lockValues(Database &db, QStringList materials)
{
    materials.sort();
    materials.removeDuplicates();
    for (const QString &m : materials)
        db.lockCounter(QStringLiteral("ItemValue.") + m);
}

void storeValue(Database &db, const QString &material, Money price)
{
    const QVariant value = QVariant::fromValue(price);
    if (db.update(QStringLiteral("ItemValue"), {{QStringLiteral("Price"), value}},
                  QStringLiteral("MaterialID = ?"), {material}) == 0)
        db.insert(QStringLiteral("ItemValue"),
                  {{QStringLiteral("MaterialID"), material}, {QStringLiteral("Price"), value}});
}

} // namespace

SavedAdjustment saveAdjustment(const Adjustment &adjustment)
{
    if (auto refusal = refuseReason(adjustment.reason))
        return {0, refusal};
    Database &db = DbConnection();
    // The server may give a save up in a deadlock with a reset or another adjustment: run it again.
    return retrying(db, [&]() -> SavedAdjustment {
        Transaction tx(db);
        const qint64 id =
            db.insert(QStringLiteral("Adjustment"), {{QStringLiteral("Date"), adjustment.date},
                                                     {QStringLiteral("DateAdded"), Clock::today()},
                                                     {QStringLiteral("Reason"), adjustment.reason}});
        for (const AdjustmentLine &line : adjustment.lines) {
            db.insert(QStringLiteral("AdjustmentItem"),
                      {{QStringLiteral("AdjustmentID"), id},
                       {QStringLiteral("MaterialID"), line.material},
                       {QStringLiteral("Adjustment"), cellNumber(line.adjustment).toDouble()},
                       {QStringLiteral("PriceEach"), QVariant::fromValue(cellNumber(line.priceEach))},
                       {QStringLiteral("PriceExt"), QVariant::fromValue(cellNumber(line.priceExt))}});
        }
        QStringList materials;
        for (const AdjustmentLine &line : adjustment.lines)
            materials << line.material;
        lockValues(db, materials);
        for (const AdjustmentLine &line : adjustment.lines) {
            const Money unit = cellNumber(line.priceEach);
            // A first value starts at the unit price, which is what a reset would give it.
            const std::optional<Money> current = storedValue(db, line.material);
            storeValue(db, line.material, current ? runningAverage(*current, unit) : unit.rounded(2));
        }
        tx.commit();
        return {id, std::nullopt};
    });
}

std::vector<ValueLine> itemValues()
{
    std::vector<ValueLine> lines;
    const RowSet rows = DbConnection().query(QStringLiteral(
        "SELECT Material.ID AS Material, Material.Description AS Description, Material.Status AS Status, "
        "Material.Type AS Type, ItemValue.Price AS Average "
        "FROM Material LEFT JOIN ItemValue ON Material.ID = ItemValue.MaterialID "
        "ORDER BY Material.Type, Material.Status, Material.ID"));
    for (const Row &r : rows) {
        lines.push_back({r.text(QStringLiteral("Material")), r.text(QStringLiteral("Description")),
                         r.text(QStringLiteral("Status")), r.text(QStringLiteral("Type")),
                         r.money(QStringLiteral("Average"))});
    }
    return lines;
}

std::optional<Refusal> refuseNewPrice(const QString &text)
{
    if (isNumeric(text))
        return std::nullopt;
    return Refusal{QStringLiteral("The Value must be Numeric."), QStringLiteral("Invalid Entry"), {}};
}

void saveItemValues(const std::vector<NewPrice> &prices)
{
    Database &db = DbConnection();
    retrying(db, [&] {
        Transaction tx(db);
        QStringList materials;
        for (const NewPrice &p : prices)
            materials << p.material;
        lockValues(db, materials);
        for (const NewPrice &p : prices) {
            if (!p.loaded.isEmpty() && storedValue(db, p.material).value_or(Money()) != cellNumber(p.loaded))
                throw DbError::changed(QStringLiteral("Item value of %1").arg(p.material));
        }
        for (const NewPrice &p : prices)
            storeValue(db, p.material, cellNumber(p.price).rounded(2));
        tx.commit();
    });
}

QString resetQuestion()
{
    return QStringLiteral(
        "By clicking yes you will over-write any item pricing you have edited with the average "
        "price for all adjustments. Are you sure you wish to continue?");
}

void resetItemPrices()
{
    // Emptied and refilled rather than dropped and re-created: the same rows, and a failure
    // part-way rolls back to the old values.
    Database &db = DbConnection();
    retrying(db, [&] {
        Transaction tx(db);
        db.exec(QStringLiteral("DELETE FROM ItemValue"));
        db.exec(QStringLiteral(
            "INSERT INTO ItemValue (MaterialID, Price) "
            "SELECT MaterialID, RoundHalfEven(AVG(PriceEach), 2) FROM AdjustmentItem GROUP BY MaterialID"));
        tx.commit();
    });
}

} // namespace inventory
