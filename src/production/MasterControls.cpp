#include "production/MasterControls.h"

#include "production/CutsheetData.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>

namespace MasterData {

void showListEntry(QComboBox *list, const QString &text)
{
    list->setCurrentIndex(text.isEmpty() ? -1 : list->findText(text, Qt::MatchFixedString));
}

QWidget *cityStateZip(QWidget *form, QLineEdit *city, QLineEdit *state, QLineEdit *zip)
{
    auto *row = new QWidget(form);
    auto *box = new QHBoxLayout(row);
    box->setContentsMargins(0, 0, 0, 0);
    state->setMaximumWidth(40);
    zip->setMaximumWidth(80);
    box->addWidget(city, 1);
    box->addWidget(state);
    box->addWidget(zip);
    return row;
}

void loadTexts(const std::vector<TextColumn> &texts, const Row *row)
{
    for (const TextColumn &t : texts)
        t.field->setText(row ? row->text(t.column) : QString());
}

void appendTexts(Fields &fields, const std::vector<TextColumn> &texts)
{
    for (const TextColumn &t : texts)
        fields.emplace_back(t.column, t.field->text());
}

void addActiveEmployees(QComboBox *names, QComboBox *ssns)
{
    for (const cutsheets::Employee &e : cutsheets::activeEmployees()) {
        names->addItem(e.name);
        ssns->addItem(e.ssn);
    }
}

} // namespace MasterData
