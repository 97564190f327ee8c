#pragma once

#include "core/Refusal.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

class Database;

// A shop may key its file with a passphrase of its own instead of the program's fixed key. The
// passphrase lives only in memory: it is asked when a file is opened and never written anywhere.
namespace passphrase {

constexpr int kMinimumLength = 10;

// Asks for the passphrase of `file`; `attempt` counts from 1. An empty answer gives up.
using Prompt = std::function<QByteArray(const QString &file, int attempt)>;
void setPrompt(Prompt prompt);
const Prompt &prompt();

// The command line's way: CORVANE_PASSPHRASE once, otherwise the terminal without echo.
QByteArray fromEnvironmentOrTerminal(const QString &file, int attempt);
// Reads one line from the terminal with echo off; nullopt when there is no terminal.
std::optional<QByteArray> readHidden(const QString &question);

// Why `typed` and `again` cannot become the shop's passphrase; nullopt when they can.
std::optional<Refusal> refusal(const QByteArray &typed, const QByteArray &again);

// Re-keys the open file with `newKey`, in place and all at once. Throws DbError.
void rekey(Database &db, const QByteArray &newKey);
// Throws DbError for a database on a server: it has no passphrase, its clerks have their own logins.
void refuseServer(const Database &db);

} // namespace passphrase
