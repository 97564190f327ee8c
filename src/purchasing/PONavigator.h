#pragma once

#include <QByteArray>
#include <QHash>
#include <QWidget>

class Grid;
class QCheckBox;
class QComboBox;
class QDateEdit;

// "Purchase Order Navigator": finds purchase orders by number and PO date, reprints and
// deletes them.
class frmPONavigator : public QWidget
{
    Q_OBJECT
public:
    enum Column
    {
        ColNumber,
        ColVendor,
        ColDate,
        ColShipDate,
        ColTerms,
        ColTotal,
        ColComment
    };

    explicit frmPONavigator(QWidget *parent = nullptr);

    // The controls, by their names on screen.
    QComboBox *cmbPO = nullptr;
    QCheckBox *chkDate = nullptr;
    QDateEdit *dtStart = nullptr;
    QDateEdit *dtEnd = nullptr;
    Grid *vsfgPO = nullptr;

    // Rebuilds the grid from the filters; a PO number that is not a whole number is refused.
    void FindPurchaseOrders();
    // Resets the filters; the grid keeps its rows until the next Find.
    void clear();
    void print();
    // Deletes the purchase order of the current row after asking; its items go back to "Open".
    void deleteOrder();

    // The size the window opens at.
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void arrange();
    // The PO number of the current data row, or 0.
    qint64 currentNumber() const;

    QWidget *m_top = nullptr;
    // Each listed PO as it was found, so a delete refuses one changed since.
    QHash<qint64, QByteArray> m_found;
};
