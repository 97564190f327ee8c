#include "purchasing/CrossReferenceEntry.h"

#include "core/Money.h"
#include "purchasing/CrossReference.h"
#include "ui/EntryWindow.h"
#include "ui/Notices.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

using namespace entry;
using namespace purchasing;

CrossReferenceEntry::CrossReferenceEntry(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Cross Reference Entry/Edit"));

    cmbRefNumber = new QComboBox(this);
    cmbRefNumber->setObjectName(QStringLiteral("cmbRefNumber"));
    cmbRefNumber->setEditable(true);
    // Typed numbers complete to the first one they begin; Enter adds nothing to the list.
    completeInline(cmbRefNumber);
    cmbRefNumber->setInsertPolicy(QComboBox::NoInsert);
    cmbRefNumber->setMinimumWidth(180);
    keepListWidth(cmbRefNumber);
    txtPartNumber = makeText(this, QStringLiteral("txtPartNumber"));
    txtDescription = makeText(this, QStringLiteral("txtDescription"));
    txtDescription->setMinimumWidth(320);
    txtColorName = makeText(this, QStringLiteral("txtColorName"));
    txtRStringNumber = makeText(this, QStringLiteral("txtRStringNumber"));
    txtCost = makeText(this, QStringLiteral("txtCost"));
    txtCost->setMaximumWidth(100);

    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    addRow(grid, 0, 0, QStringLiteral("Customer Ref Number"), cmbRefNumber);
    addRow(grid, 1, 0, QStringLiteral("Part Number"), txtPartNumber);
    addRow(grid, 2, 0, QStringLiteral("Description"), txtDescription);
    addRow(grid, 3, 0, QStringLiteral("Color"), txtColorName);
    addRow(grid, 4, 0, QStringLiteral("R-String Number"), txtRStringNumber);
    addRow(grid, 5, 0, QStringLiteral("Cost"), txtCost);
    const SaveExit row = addSaveExit(this, grid, 6, 2);
    btnSave = row.save;
    btnExit = row.exit;
    chainTabOrder({cmbRefNumber, txtPartNumber, txtDescription, txtColorName, txtRStringNumber, txtCost,
                   btnSave, btnExit});

    guarded(this, [&] {
        cmbRefNumber->addItems(crossReferenceNumbers());
        cmbRefNumber->setCurrentIndex(-1);
        cmbRefNumber->clearEditText();
    });
    connect(cmbRefNumber, &QComboBox::currentTextChanged, this, &CrossReferenceEntry::LoadCrossReference);
    connect(btnSave, &QPushButton::clicked, this, &CrossReferenceEntry::SaveAndClose);
}

void CrossReferenceEntry::LoadCrossReference()
{
    if (cmbRefNumber->currentText().trimmed().isEmpty())
        return;
    guarded(this, [&] {
        const std::optional<Row> found = findCrossReference(cmbRefNumber->currentText());
        const auto text = [&](const char *column) {
            return found ? found->text(QLatin1String(column)) : QString();
        };
        txtPartNumber->setText(text("PartNumber"));
        txtDescription->setText(text("Description"));
        txtColorName->setText(text("ColorName"));
        txtRStringNumber->setText(text("RStringNumber"));
        const QVariant cost = found ? found->value(QStringLiteral("Cost")) : QVariant();
        // Cents always shown ("29.10"), and finer decimals when the cost has them.
        QString shown = cost.isNull() ? QString() : Money::fromVariant(cost).toPlainString();
        if (!shown.isEmpty()) {
            const qsizetype point = shown.indexOf(u'.');
            shown += point < 0 ? QStringLiteral(".00")
                               : QString(std::max<qsizetype>(0, 2 - (shown.size() - point - 1)), u'0');
        }
        txtCost->setText(shown);
        if (found)
            markClean(this);
    });
}

void CrossReferenceEntry::SaveAndClose()
{
    const CrossReferenceValues values{cmbRefNumber->currentText(), txtPartNumber->text(),
                                      txtDescription->text(),      txtColorName->text(),
                                      txtRStringNumber->text(),    txtCost->text()};
    if (const auto refusal = refuseCrossReference(values)) {
        showRefusal(this, *refusal);
        return;
    }
    if (guarded(this, [&] { saveCrossReference(values); }))
        closeSaved(this, QStringLiteral("Cross reference %1 saved.").arg(values.refNumber));
}
