#pragma once

#include "ui/Documents.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <vector>

class QDateEdit;
class QKeyEvent;
class QPushButton;

// A report request window: a few inputs laid out from a description, then "Ok" (the default
// button; Return presses it) produces the document under the hourglass and closes the window,
// and "Cancel" (Escape) closes it with nothing produced.
namespace request {

// One input of the form. The rows follow the order of the inputs; each control has its own
// object name.
struct Input
{
    enum class Kind
    {
        Period,  // "dtStart" labelled `label` and "dtEnd" labelled "End Date", one row each
        Range,   // "dtStart" and "dtEnd" side by side on one row labelled `label`
        Date,    // the date picker `name` labelled `label`
        Pick,    // the drop-down list `name`: `entries` (its all-entry), then what `load` gives;
                 // the first entry is shown
        Hidden,  // a drop-down list `name` that is never shown and has no row
        Check,   // the check box `name` captioned `label` in the field column
        Option,  // an option button `name` captioned `label` in the field column; adjacent ones
                 // are one group whose first is selected
        Choices, // the multi-select list `name` filled by `load` across the form, `label` under it
    };
    Kind kind = Kind::Date;
    QString name{};
    QString label{};
    QStringList entries{};
    std::function<QStringList()> load{};
    bool checked = false;
    QSize minimum{}; // no minimum when invalid
};

// Every date picker shows today when the window opens.
Input period(const QString &startLabel);
Input range(const QString &label);
Input asOf();
Input pick(const QString &name, const QString &label, const QString &allEntry, int minimumWidth,
           std::function<QStringList()> load = {});
Input hidden(const QString &name);
Input check(const QString &name, const QString &caption, bool checked = false);
Input option(const QString &name, const QString &caption);
Input choices(const QString &name, const QString &note, QSize minimum, std::function<QStringList()> load);

struct Description
{
    QString caption;
    std::vector<Input> inputs;
    QString okText = QStringLiteral("Ok");
    QString okName = QStringLiteral("btnOK");
    int minimumWidth = 0;
};

} // namespace request

class RequestForm : public QWidget
{
    Q_OBJECT
public:
    // Produces the document when the inputs allow it, then closes the window; a database error
    // is shown and the window stays open.
    void Ok();

protected:
    RequestForm(const request::Description &description, QWidget *parent);

    // The control the description named `name`.
    template <typename T> T *control(const QString &name) const
    {
        auto *c = findChild<T *>(name, Qt::FindDirectChildrenOnly);
        Q_ASSERT(c);
        return c;
    }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

    // Whether Ok may go on; when not, it has said why (or stays silent by design).
    virtual bool ready() { return true; }
    // Hands the document to its output.
    virtual void produce() = 0;

    void keyPressEvent(QKeyEvent *event) override;

private:
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

// A request over a period, from "dtStart" to "dtEnd" (both days included).
class PeriodRequestForm : public RequestForm
{
    Q_OBJECT
public:
    QDateEdit *dtStart = nullptr;
    QDateEdit *dtEnd = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

    // The document request of the period: "from" and "to", both days.
    documents::Request period() const;

protected:
    PeriodRequestForm(const request::Description &description, QWidget *parent);
};

// A request as of the day "dtDate"; its Ok is "btnOk".
class AsOfRequestForm : public RequestForm
{
    Q_OBJECT
public:
    QDateEdit *dtDate = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    AsOfRequestForm(const request::Description &description, QWidget *parent);
};
