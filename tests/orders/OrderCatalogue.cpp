#include "OrderCatalogue.h"

#include <QtTest>

namespace ordertest {

void seedCatalogue(TestDatabase &db)
{
    db.addCustomer(QStringLiteral("Acme Upholstery"));
    db.addCustomer(QStringLiteral("Quintar"));
    db.addCustomer(QStringLiteral("Zephyr Marine"));
    db.db().exec(QStringLiteral("UPDATE Customer SET Status = 'InActive' WHERE Name = 'Zephyr Marine'"));
    db.db().exec(QStringLiteral("UPDATE Customer SET ShipToAddress2 = 'Bay 4', ShipToPhone = '937-555-0101', "
                                "ShipToFax = '937-555-0102' WHERE Name = 'Acme Upholstery'"));
    db.addMaterial(QStringLiteral("BLK-01"));
    db.addSet(QStringLiteral("Q100"), QStringLiteral("Quintar"), 95.5);
    db.addSet(QStringLiteral("Q200"), QStringLiteral("Quintar"), 120);
    db.addSet(QStringLiteral("Q300"), QStringLiteral("Quintar"), 80);
    db.addSet(QStringLiteral("A100"), QStringLiteral("Acme Upholstery"), 150);
    db.addSet(QStringLiteral("X900"), QStringLiteral("Acme Upholstery"), 10);
    db.db().exec(QStringLiteral("UPDATE Sets SET Status = 'InActive' WHERE CustomerRefNo = 'X900'"));
}

void lineRefusalRows()
{
    QTest::addColumn<QString>("qty");
    QTest::addColumn<QString>("ref");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("focusBox");

    QTest::newRow("no quantity") << "" << "A100" << "150" << "You must enter a quantity." << "Not a Valid Quantity"
                                 << "txtQty";
    QTest::newRow("no price") << "2" << "" << "" << "You must enter a price each." << "Not a Valid Price"
                              << "txtPriceEach";
    QTest::newRow("letters for quantity") << "abc" << "A100" << "150"
                                          << "The quantity must be a whole number of sets, such as 12."
                                          << "Not a Valid Quantity" << "txtQty";
    QTest::newRow("fraction of a set") << "1.5" << "A100" << "150"
                                       << "The quantity must be a whole number of sets, such as 12."
                                       << "Not a Valid Quantity" << "txtQty";
    QTest::newRow("negative quantity") << "-2" << "A100" << "150"
                                       << "The quantity must be a whole number of sets, such as 12."
                                       << "Not a Valid Quantity" << "txtQty";
    QTest::newRow("letters in price") << "2" << "A100" << "12x" << "The price each must be a number, such as 95.50."
                                      << "Not a Valid Price" << "txtPriceEach";
    QTest::newRow("no set") << "2" << "" << "150" << "Not a valid Customer Reference Number. Please re-enter."
                            << "Invalid Customer Reference Number" << "txtCustomerRefNo";
    QTest::newRow("inactive set") << "2" << "X900" << "150"
                                  << "Not a valid Customer Reference Number. Please re-enter."
                                  << "Invalid Customer Reference Number" << "txtCustomerRefNo";
    QTest::newRow("unknown set") << "2" << "ZZ1" << "150" << "Not a valid Customer Reference Number. Please re-enter."
                                 << "Invalid Customer Reference Number" << "txtCustomerRefNo";
}

} // namespace ordertest
