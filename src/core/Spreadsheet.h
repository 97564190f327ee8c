#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>
#include <stdexcept>

// A workbook that cannot be opened or read: what went wrong, said plainly.
class SpreadsheetError : public std::runtime_error
{
public:
    explicit SpreadsheetError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    QString message() const { return m_message; }

private:
    QString m_message;
};

// One cell as stored in the workbook.
struct SheetCell
{
    enum class Kind { Empty, Text, Number, Date, Boolean, Error };

    Kind kind = Kind::Empty;
    // Text cells: the text. Numbers: plain decimal ("12", "95.5"). Dates: "yyyy-MM-dd", or
    // "yyyy-MM-dd HH:mm:ss" when the cell has a time of day. Booleans "TRUE"/"FALSE".
    QString text;
    double number = 0;    // numbers and booleans
    QDateTime dateTime;   // dates (midnight when the cell has no time)

    bool isEmpty() const { return kind == Kind::Empty || (kind == Kind::Text && text.trimmed().isEmpty()); }
    // A number cell, or a text cell holding a plain number; nullopt otherwise, and for numbers
    // that are not finite or lie beyond what Money holds.
    std::optional<double> toNumber() const;
};

// A workbook read cell by cell, .xls (BIFF) or .xlsx (Office Open XML), told apart by content.
// Sheets, rows and columns count from 1, as in the spreadsheet program ("sheet 2, G15").
class Spreadsheet
{
public:
    virtual ~Spreadsheet() = default;

    // Throws SpreadsheetError when the file is missing or is not a readable workbook.
    static std::unique_ptr<Spreadsheet> open(const QString &path);

    virtual int sheetCount() const = 0;
    virtual QString sheetName(int sheet) const = 0;
    // A cell outside the sheet's used range, or on a sheet that does not exist, is empty.
    // Throws SpreadsheetError when the sheet's data cannot be read.
    virtual SheetCell cell(int sheet, int row, int column) = 0;
    virtual void close() = 0;

    SheetCell cell(int sheet, const QString &reference);
    QString text(int sheet, int row, int column) { return cell(sheet, row, column).text; }
    QString text(int sheet, const QString &reference) { return cell(sheet, reference).text; }
    std::optional<double> number(int sheet, int row, int column) { return cell(sheet, row, column).toNumber(); }

    // "G15" -> row 15, column 7; false for anything else.
    static bool parseReference(const QString &reference, int *row, int *column);
    // 7 -> "G", 28 -> "AB".
    static QString columnName(int column);
    // Day count of the 1900 date system (with its phantom 29 Feb 1900) or the 1904 one.
    static QDateTime fromSerial(double serial, bool system1904 = false);
};
