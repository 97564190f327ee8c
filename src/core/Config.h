#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

// A start-up failure: what went wrong and where, said plainly to the user.
class StartupError : public std::runtime_error
{
public:
    StartupError(const QString &title, const QString &text)
        : std::runtime_error(text.toStdString()), m_title(title), m_text(text)
    {
    }
    QString title() const { return m_title; }
    QString text() const { return m_text; }

private:
    QString m_title;
    QString m_text;
};

// The settings read from config.txt once at start-up.
struct Config
{
    QString databasePath;
    QString priceChangeCutoff; // as written in the file
    // Optional sixth and seventh items: the label "Backups" and how many backups are kept.
    int backupsKept = 30;
};

// Free-format list input: items separated by commas or line ends, leading blanks skipped,
// double quotes removed (commas inside quotes belong to the item). Reads at most maxItems.
// `lines`, when given, receives the line each item starts on (1-based).
QStringList readListItems(const QString &content, int maxItems, QList<int> *lines = nullptr);

// No path or date comes near this; a longer item is refused rather than used.
constexpr int kMaxConfigItemLength = 4096;

// Reads items 3 and 5 of `content`; throws StartupError when fewer than five items are found
// or the cut-off is not a date. `where` names the file in messages.
Config parseConfig(const QString &content, const QString &where);

// Reads config.txt from `folder`.
Config loadConfig(const QString &folder);
QString configPath(const QString &folder);

// Where config.txt is read from: beside the program when it is there, otherwise the user's
// configuration folder when it is there; the program folder when neither holds one.
QString configFolder(const QString &programFolder);
// ~/.config/corvane (following XDG_CONFIG_HOME): where an installed program keeps config.txt.
QString userConfigFolder();

// Process-wide settings (set by start-up; tests set them directly).
QString &DatabasePath();
QString &PriceChangeCutoff();
int &BackupsKept();
