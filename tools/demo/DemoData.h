#pragma once

#include <QDate>

class Database;

struct DemoOptions
{
    // 1 is a small shop's few months; larger sizes scale customers, sets and history
    // (a size of 40 is about ten years of a busy shop).
    int size = 1;
    unsigned seed = 20101;
    // The last day of the generated history.
    QDate today = QDate::currentDate();
};

// Fills an empty database holding the schema with realistic demo data, in one transaction.
void fillDemoData(Database &db, const DemoOptions &options);
