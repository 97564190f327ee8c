#include "purchasing/CrossReference.h"

#include "core/Money.h"
#include "production/MasterData.h"

namespace purchasing {

namespace {

const QString kTable = QStringLiteral("CrossReferenceTable");
const QString kKey = QStringLiteral("CustomerRefNumber");
const QString kTitle = QStringLiteral("Cross Reference");

} // namespace

QStringList crossReferenceNumbers()
{
    QStringList out;
    for (const Row &r : DbConnection().query(
             QStringLiteral("SELECT DISTINCT CustomerRefNumber FROM CrossReferenceTable "
                            "WHERE CustomerRefNumber IS NOT NULL ORDER BY CustomerRefNumber")))
        out << r.text(kKey);
    return out;
}

std::optional<Row> findCrossReference(const QString &refNumber)
{
    return MasterData::findByKey(kTable, kKey, refNumber.trimmed());
}

std::optional<Refusal> refuseCrossReference(const CrossReferenceValues &values)
{
    if (values.refNumber.trimmed().isEmpty())
        return Refusal{QStringLiteral("Customer Ref Number is required."), kTitle,
                       QStringLiteral("cmbRefNumber")};
    if (!values.cost.trimmed().isEmpty()) {
        const std::optional<Money> cost = Money::parse(values.cost.trimmed());
        if (!cost || cost->units() < 0)
            return Refusal{QStringLiteral("Cost must be an amount of 0 or more, for example 12.50."), kTitle,
                           QStringLiteral("txtCost")};
    }
    return std::nullopt;
}

bool saveCrossReference(const CrossReferenceValues &values)
{
    if (const auto refusal = refuseCrossReference(values))
        throw DbError(0, refusal->text);
    const QString key = values.refNumber.trimmed();
    const QString cost = values.cost.trimmed();
    const Fields fields = {
        {kKey, key},
        {QStringLiteral("PartNumber"), values.partNumber.trimmed()},
        {QStringLiteral("Description"), values.description.trimmed()},
        {QStringLiteral("ColorName"), values.colorName.trimmed()},
        {QStringLiteral("RStringNumber"), values.rStringNumber.trimmed()},
        {QStringLiteral("Cost"), cost.isEmpty() ? QVariant() : QVariant::fromValue(*Money::parse(cost))}};
    return MasterData::saveByKey(kTable, kKey, key, fields, {});
}

} // namespace purchasing
