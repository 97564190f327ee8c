#pragma once

#include "core/Clock.h"

#include <QDate>

class Database;

struct DemoOptions
{
    // 1 is a small shop's few months; larger sizes scale customers, sets and history
    // (a size of 40 is about ten years of a busy shop).
    int size = 1;
    unsigned seed = 20101;
    // The last day of the generated history.
    QDate today = Clock::today();
};

// Fills an empty database holding the schema with realistic demo data, in one transaction.
// The same options always give the same rows. Throws DbError (nothing written) on failure or
// when the database already holds customers or orders.
void fillDemoData(Database &db, const DemoOptions &options);
