#pragma once

#include <QString>

// A PostgreSQL server for tests that need one whatever engine the suite runs on: the fixture's
// (CORVANE_TEST_PGHOST), or a private one started here on a Unix socket in a temporary folder
// and stopped when the test program ends. Afterwards CORVANE_TEST_PGHOST names its socket folder.
// Gives the reason to skip when no server can be had (PostgreSQL is not installed).
QString startTestServer();

// A URI of `database` on the test server, as `user` (the superuser by default).
QString testServerUri(const QString &database, const QString &user = QStringLiteral("postgres"));
