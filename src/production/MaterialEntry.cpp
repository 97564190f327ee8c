#include "production/MaterialEntry.h"

#include "core/Clock.h"
#include "ui/EntryWindow.h"
#include "ui/MessageBox.h"
#include "ui/Notices.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

using namespace MasterData;
using namespace entry;

MaterialEntry::MaterialEntry(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Material Entry/Edit"));

    txtID = makeText(this, QStringLiteral("txtID"));
    txtDesc = makeText(this, QStringLiteral("txtDesc"));
    txtDesc->setMinimumWidth(320);
    cmbStatus =
        makeList(this, QStringLiteral("cmbStatus"), {QStringLiteral("Active"), QStringLiteral("InActive")});
    cmbType = makeList(this, QStringLiteral("cmbType"),
                       {QStringLiteral("Leather"), QStringLiteral("Vinyl"), QStringLiteral("Kit")});

    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    addRow(grid, 0, 0, QStringLiteral("ID"), txtID);
    addRow(grid, 1, 0, QStringLiteral("Description"), txtDesc);
    addRow(grid, 2, 0, QStringLiteral("Status"), cmbStatus);
    addRow(grid, 3, 0, QStringLiteral("Type"), cmbType);
    const SaveExit row = addSaveExit(this, grid, 4, 2);
    btnSave = row.save;
    btnExit = row.exit;

    chainTabOrder({txtID, txtDesc, cmbStatus, cmbType, btnSave, btnExit});
    showListEntry(cmbStatus, QStringLiteral("Active"));

    onLeave(this, txtID, [this] {
        LoadMaterial();
        return true;
    });
    connect(btnSave, &QPushButton::clicked, this, &MaterialEntry::SaveAndClose);
}

void MaterialEntry::LoadMaterial()
{
    if (txtID->text().isEmpty())
        return;
    guarded(this, [&] {
        const std::optional<Row> material = FindMaterial(txtID->text());
        m_loaded.remember(txtID->text(), material);
        txtDesc->setText(material ? material->text(QStringLiteral("Description")) : QString());
        // A new material is active until said otherwise, as a new customer, employee or set is.
        showListEntry(cmbStatus,
                      material ? material->text(QStringLiteral("Status")) : QStringLiteral("Active"));
        showListEntry(cmbType, material ? material->text(QStringLiteral("Type")) : QString());
        if (material)
            markClean(this);
    });
}

void MaterialEntry::SaveAndClose()
{
    if (const auto refusal = refuseMaterial(txtID->text(), txtDesc->text(), cmbStatus->currentText(),
                                            cmbType->currentText())) {
        showRefusal(this, *refusal);
        return;
    }
    if (guarded(this, [&] {
            SaveMaterial(txtID->text(), txtDesc->text(), cmbStatus->currentText(), cmbType->currentText(),
                         m_loaded.stampFor(txtID->text()));
        }))
        closeSaved(this, QStringLiteral("Material %1 saved.").arg(txtID->text()));
}
