#include "ui/RequestForm.h"

#include "ui/EntryWindow.h"
#include "ui/Widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

using namespace entry;

namespace request {

Input period(const QString &startLabel)
{
    return {.kind = Input::Kind::Period, .label = startLabel};
}

Input range(const QString &label)
{
    return {.kind = Input::Kind::Range, .label = label};
}

Input asOf()
{
    return {.kind = Input::Kind::Date, .name = QStringLiteral("dtDate"), .label = QStringLiteral("As Of")};
}

Input pick(const QString &name, const QString &label, const QString &allEntry, int minimumWidth,
           std::function<QStringList()> load)
{
    return {.kind = Input::Kind::Pick,
            .name = name,
            .label = label,
            .entries = {allEntry},
            .load = std::move(load),
            .minimum = QSize(minimumWidth, 0)};
}

Input hidden(const QString &name)
{
    return {.kind = Input::Kind::Hidden, .name = name};
}

Input check(const QString &name, const QString &caption, bool checked)
{
    return {.kind = Input::Kind::Check, .name = name, .label = caption, .checked = checked};
}

Input option(const QString &name, const QString &caption)
{
    return {.kind = Input::Kind::Option, .name = name, .label = caption};
}

Input choices(const QString &name, const QString &note, QSize minimum, std::function<QStringList()> load)
{
    return {.kind = Input::Kind::Choices,
            .name = name,
            .label = note,
            .load = std::move(load),
            .minimum = minimum};
}

namespace {

// Lays the inputs out row by row: a label in the first column, the control in the second.
class Builder
{
public:
    Builder(QWidget *form, QGridLayout *grid) : m_form(form), m_grid(grid) {}

    void add(const Input &in)
    {
        if (in.kind != Input::Kind::Option)
            m_group = nullptr;
        switch (in.kind) {
        case Input::Kind::Period:
            field(in.label, todayPicker(QStringLiteral("dtStart"), m_form));
            field(QStringLiteral("End Date"), todayPicker(QStringLiteral("dtEnd"), m_form));
            break;
        case Input::Kind::Range:
            range(in.label);
            break;
        case Input::Kind::Date:
            field(in.label, todayPicker(in.name, m_form));
            break;
        case Input::Kind::Pick:
            field(in.label, pick(in));
            break;
        case Input::Kind::Hidden:
            makeList(m_form, in.name, {})->hide();
            break;
        case Input::Kind::Check:
            unlabelled(check(in));
            break;
        case Input::Kind::Option:
            unlabelled(option(in));
            break;
        case Input::Kind::Choices:
            choices(in);
            break;
        }
    }

    int row() const { return m_row; }
    // The controls Tab visits, in the order of the inputs.
    const std::vector<QWidget *> &tabs() const { return m_tabs; }

private:
    void field(const QString &label, QWidget *control)
    {
        addRow(m_grid, m_row++, 0, label, control);
        m_tabs.push_back(control);
    }
    void unlabelled(QWidget *control)
    {
        m_grid->addWidget(control, m_row++, 1);
        m_tabs.push_back(control);
    }
    void range(const QString &label)
    {
        QDateEdit *start = todayPicker(QStringLiteral("dtStart"), m_form);
        QDateEdit *end = todayPicker(QStringLiteral("dtEnd"), m_form);
        auto *dates = new QHBoxLayout;
        dates->addWidget(start);
        dates->addWidget(end);
        m_grid->addWidget(new QLabel(label, m_form), m_row, 0);
        m_grid->addLayout(dates, m_row++, 1);
        m_tabs.insert(m_tabs.end(), {start, end});
    }
    QComboBox *pick(const Input &in)
    {
        QComboBox *list = makeList(m_form, in.name, in.entries);
        list->setMinimumSize(in.minimum);
        installTypeAhead(list);
        return list;
    }
    QCheckBox *check(const Input &in)
    {
        auto *box = new QCheckBox(in.label, m_form);
        box->setObjectName(in.name);
        box->setChecked(in.checked);
        return box;
    }
    QRadioButton *option(const Input &in)
    {
        auto *button = new QRadioButton(in.label, m_form);
        button->setObjectName(in.name);
        if (!m_group) {
            m_group = new QButtonGroup(m_form);
            button->setChecked(true);
        }
        m_group->addButton(button);
        return button;
    }
    void choices(const Input &in)
    {
        auto *list = new QListWidget(m_form);
        list->setObjectName(in.name);
        list->setSelectionMode(QAbstractItemView::MultiSelection);
        list->setMinimumSize(in.minimum);
        m_grid->addWidget(list, m_row++, 0, 1, 2);
        m_grid->addWidget(new QLabel(in.label, m_form), m_row++, 0, 1, 2);
        m_tabs.push_back(list);
    }

    QWidget *m_form;
    QGridLayout *m_grid;
    int m_row = 0;
    QButtonGroup *m_group = nullptr; // of the option buttons being added
    std::vector<QWidget *> m_tabs;
};

// Fills the lists whose entries come from the database, then shows each pick's first entry.
void load(QWidget *form, const std::vector<Input> &inputs)
{
    guarded(form, [&] {
        for (const Input &in : inputs) {
            if (!in.load)
                continue;
            if (in.kind == Input::Kind::Choices)
                form->findChild<QListWidget *>(in.name)->addItems(in.load());
            else
                form->findChild<QComboBox *>(in.name)->addItems(in.load());
        }
    });
    for (const Input &in : inputs) {
        if (in.kind == Input::Kind::Pick)
            form->findChild<QComboBox *>(in.name)->setCurrentIndex(0);
    }
}

} // namespace

} // namespace request

RequestForm::RequestForm(const request::Description &description, QWidget *parent) : QWidget(parent)
{
    setWindowTitle(description.caption);
    auto *grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    if (description.minimumWidth > 0)
        setMinimumWidth(description.minimumWidth); // room for the caption
    request::Builder builder(this, grid);
    for (const request::Input &in : description.inputs)
        builder.add(in);
    const OkCancel buttons = addOkCancel(this, grid, builder.row(), 2);
    m_ok = buttons.ok;
    m_cancel = buttons.cancel;
    m_ok->setText(description.okText);
    m_ok->setObjectName(description.okName);
    std::vector<QWidget *> tabs = builder.tabs();
    tabs.insert(tabs.end(), {m_ok, m_cancel});
    chainTabOrder(tabs);
    request::load(this, description.inputs);
    connect(m_ok, &QPushButton::clicked, this, &RequestForm::Ok);
    returnClicks(this, m_ok);
}

void RequestForm::Ok()
{
    if (!ready())
        return;
    bool produced = false;
    {
        BusyPointer busy;
        produced = guarded(this, [this] { produce(); });
    }
    if (produced)
        closeChildWindow(this);
}

void RequestForm::keyPressEvent(QKeyEvent *event)
{
    // Only keys the focused control left alone get here: an open list or a date being typed
    // keeps its own Escape. Return is returnClicks'.
    if (event->modifiers() == Qt::NoModifier && event->key() == Qt::Key_Escape) {
        m_cancel->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

PeriodRequestForm::PeriodRequestForm(const request::Description &description, QWidget *parent)
    : RequestForm(description, parent), dtStart(control<QDateEdit>(QStringLiteral("dtStart"))),
      dtEnd(control<QDateEdit>(QStringLiteral("dtEnd"))), btnOK(okButton()), btnCancel(cancelButton())
{
}

documents::Request PeriodRequestForm::period() const
{
    return {{QStringLiteral("from"), isoDate(dtStart->date())},
            {QStringLiteral("to"), isoDate(dtEnd->date())}};
}

AsOfRequestForm::AsOfRequestForm(const request::Description &description, QWidget *parent)
    : RequestForm(description, parent), dtDate(control<QDateEdit>(QStringLiteral("dtDate"))),
      btnOk(okButton()), btnCancel(cancelButton())
{
}
