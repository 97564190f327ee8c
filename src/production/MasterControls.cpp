#include "production/MasterControls.h"

#include "production/CutsheetData.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace MasterData {

void showListEntry(QComboBox *list, const QString &text)
{
    list->setCurrentIndex(text.isEmpty() ? -1 : list->findText(text, Qt::MatchFixedString));
}

void addRow(QGridLayout *grid, int row, int column, const QString &label, QWidget *field)
{
    auto *caption = new QLabel(label);
    caption->setBuddy(field);
    grid->addWidget(caption, row, column);
    grid->addWidget(field, row, column + 1);
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

void chainTabOrder(const std::vector<QWidget *> &widgets)
{
    for (size_t i = 1; i < widgets.size(); ++i)
        QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

void addActiveEmployees(QComboBox *names, QComboBox *ssns)
{
    for (const cutsheets::Employee &e : cutsheets::activeEmployees()) {
        names->addItem(e.name);
        ssns->addItem(e.ssn);
    }
}

} // namespace MasterData
