#include "core/Spreadsheet.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QXmlStreamReader>

#include <freexl.h>
#include <zip.h>

#include <cmath>

namespace {

QString numberText(double v)
{
    if (std::isfinite(v) && std::floor(v) == v && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    return QString::number(v, 'g', 15);
}

QString dateText(const QDateTime &dt)
{
    if (dt.time() == QTime(0, 0))
        return dt.date().toString(QStringLiteral("yyyy-MM-dd"));
    return dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

SheetCell numberCell(double v)
{
    SheetCell c;
    c.kind = SheetCell::Kind::Number;
    c.number = v;
    c.text = numberText(v);
    return c;
}

SheetCell textCell(const QString &text)
{
    SheetCell c;
    c.kind = SheetCell::Kind::Text;
    c.text = text;
    return c;
}

SheetCell dateCell(const QDateTime &dt, double serial)
{
    SheetCell c;
    if (!dt.isValid())
        return numberCell(serial);
    c.kind = SheetCell::Kind::Date;
    c.dateTime = dt;
    c.number = serial;
    c.text = dateText(dt);
    return c;
}

quint64 cellKey(int row, int column)
{
    return (quint64(quint32(row)) << 32) | quint32(column);
}

// ---------------------------------------------------------------------------------------------
// .xls through FreeXL

QString freexlText(int rc)
{
    switch (rc) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("the file cannot be opened for reading");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("there is not enough memory to read it");
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_CFBF_INVALID_SECTOR_SIZE:
    case FREEXL_CFBF_EMPTY_FAT_CHAIN:
    case FREEXL_CFBF_ILLEGAL_FAT_ENTRY:
    case FREEXL_CFBF_READ_ERROR:
    case FREEXL_CFBF_SEEK_ERROR:
    case FREEXL_INVALID_MINI_STREAM:
    case FREEXL_CFBF_ILLEGAL_MINI_FAT_ENTRY:
        return QStringLiteral("its file structure is damaged");
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("it holds no workbook");
    case FREEXL_BIFF_INVALID_BOF:
    case FREEXL_BIFF_INVALID_SST:
    case FREEXL_BIFF_ILLEGAL_SST_INDEX:
    case FREEXL_ILLEGAL_RK_VALUE:
    case FREEXL_CRAFTED_FILE:
        return QStringLiteral("its workbook data is damaged");
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
        return QStringLiteral("its text is in a character set that cannot be read");
    default:
        return QStringLiteral("the reader failed with code %1").arg(rc);
    }
}

class XlsWorkbook : public Spreadsheet
{
public:
    explicit XlsWorkbook(const QString &path) : m_path(path)
    {
        const int rc = freexl_open(QFile::encodeName(path).constData(), &m_handle);
        if (rc != FREEXL_OK) {
            close();
            throw SpreadsheetError(QStringLiteral("The file \"%1\" is not a readable workbook: %2.")
                                       .arg(QFileInfo(path).fileName(), freexlText(rc)));
        }
        unsigned int info = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED) {
            close();
            throw SpreadsheetError(QStringLiteral("The workbook \"%1\" is protected with a password and cannot be read.")
                                       .arg(QFileInfo(path).fileName()));
        }
        if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &info) == FREEXL_OK)
            m_sheets = int(info);
    }
    ~XlsWorkbook() override { close(); }

    int sheetCount() const override { return m_sheets; }

    QString sheetName(int sheet) const override
    {
        const char *name = nullptr;
        if (!m_handle || sheet < 1 || sheet > m_sheets ||
            freexl_get_worksheet_name(m_handle, (unsigned short)(sheet - 1), &name) != FREEXL_OK || !name)
            return QString();
        return QString::fromUtf8(name);
    }

    SheetCell cell(int sheet, int row, int column) override
    {
        if (!m_handle || sheet < 1 || sheet > m_sheets || row < 1 || column < 1 || column > 65535)
            return {};
        if (m_active != sheet) {
            const int rc = freexl_select_active_worksheet(m_handle, (unsigned short)(sheet - 1));
            if (rc != FREEXL_OK)
                throw SpreadsheetError(QStringLiteral("Sheet %1 of \"%2\" cannot be read: %3.")
                                           .arg(sheet)
                                           .arg(QFileInfo(m_path).fileName(), freexlText(rc)));
            m_active = sheet;
            freexl_worksheet_dimensions(m_handle, &m_rows, &m_columns);
        }
        if (unsigned(row - 1) >= m_rows || unsigned(column - 1) >= m_columns)
            return {};
        FreeXL_CellValue v;
        if (freexl_get_cell_value(m_handle, unsigned(row - 1), (unsigned short)(column - 1), &v) != FREEXL_OK)
            return {};
        switch (v.type) {
        case FREEXL_CELL_INT:
            return numberCell(double(v.value.int_value));
        case FREEXL_CELL_DOUBLE:
            return numberCell(v.value.double_value);
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            return textCell(QString::fromUtf8(v.value.text_value));
        case FREEXL_CELL_DATE: {
            const QDate d = QDate::fromString(QString::fromLatin1(v.value.text_value), QStringLiteral("yyyy-MM-dd"));
            return d.isValid() ? dateCell(QDateTime(d, QTime(0, 0)), 0) : textCell(QString::fromUtf8(v.value.text_value));
        }
        case FREEXL_CELL_DATETIME: {
            const QDateTime dt =
                QDateTime::fromString(QString::fromLatin1(v.value.text_value), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            return dt.isValid() ? dateCell(dt, 0) : textCell(QString::fromUtf8(v.value.text_value));
        }
        case FREEXL_CELL_TIME:
            return textCell(QString::fromUtf8(v.value.text_value));
        default:
            return {};
        }
    }

    void close() override
    {
        if (m_handle) {
            freexl_close(m_handle);
            m_handle = nullptr;
        }
    }

private:
    QString m_path;
    const void *m_handle = nullptr;
    int m_sheets = 0;
    int m_active = 0;
    unsigned int m_rows = 0;
    unsigned short m_columns = 0;
};

// ---------------------------------------------------------------------------------------------
// .xlsx through libzip and QXmlStreamReader

// True for number formats that show a date or a time.
bool isDateFormat(int id, const QString &code)
{
    if ((id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58))
        return true;
    if (code.isEmpty())
        return false;
    // Only the first section decides; quoted text, escapes and [colour]/[condition] parts do not count.
    bool inQuote = false;
    for (int i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (inQuote) {
            if (c == u'"')
                inQuote = false;
            continue;
        }
        if (c == u'"') {
            inQuote = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            const int end = code.indexOf(u']', i);
            if (end < 0)
                return false;
            const QString inner = code.mid(i + 1, end - i - 1).toLower();
            if (inner == u"h" || inner == u"hh" || inner == u"m" || inner == u"mm" || inner == u"s" || inner == u"ss")
                return true;
            i = end;
        } else if (c == u';') {
            return false;
        } else {
            const QChar l = c.toLower();
            if (l == u'd' || l == u'm' || l == u'y' || l == u'h' || l == u's')
                return true;
        }
    }
    return false;
}

class XlsxWorkbook : public Spreadsheet
{
public:
    explicit XlsxWorkbook(const QString &path) : m_path(path)
    {
        int err = 0;
        m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
        if (!m_zip)
            fail(QStringLiteral("it is not a readable zip package"));
        QString workbookPart = QStringLiteral("xl/workbook.xml");
        if (hasPart(QStringLiteral("_rels/.rels"))) {
            const auto rels = readRelationships(QStringLiteral("_rels/.rels"), QString());
            for (const auto &r : rels) {
                if (r.type.endsWith(QLatin1String("/officeDocument")))
                    workbookPart = r.target;
            }
        }
        if (!hasPart(workbookPart))
            fail(QStringLiteral("it holds no workbook"));
        const QString baseDir = workbookPart.left(workbookPart.lastIndexOf(u'/') + 1);
        const QString relsPart = baseDir + QStringLiteral("_rels/") + workbookPart.mid(baseDir.size()) +
                                 QStringLiteral(".rels");
        QHash<QString, QString> targets;
        QString sharedStringsPart, stylesPart;
        if (hasPart(relsPart)) {
            for (const auto &r : readRelationships(relsPart, baseDir)) {
                targets.insert(r.id, r.target);
                if (r.type.endsWith(QLatin1String("/sharedStrings")))
                    sharedStringsPart = r.target;
                else if (r.type.endsWith(QLatin1String("/styles")))
                    stylesPart = r.target;
            }
        }
        readWorkbook(workbookPart, targets);
        if (!sharedStringsPart.isEmpty() && hasPart(sharedStringsPart))
            readSharedStrings(sharedStringsPart);
        if (!stylesPart.isEmpty() && hasPart(stylesPart))
            readStyles(stylesPart);
    }
    ~XlsxWorkbook() override { close(); }

    int sheetCount() const override { return int(m_sheets.size()); }
    QString sheetName(int sheet) const override
    {
        return sheet >= 1 && sheet <= sheetCount() ? m_sheets.at(sheet - 1).name : QString();
    }

    SheetCell cell(int sheet, int row, int column) override
    {
        if (sheet < 1 || sheet > sheetCount() || row < 1 || column < 1)
            return {};
        Sheet &s = m_sheets[sheet - 1];
        if (!s.loaded)
            loadSheet(s);
        return s.cells.value(cellKey(row, column));
    }

    void close() override
    {
        if (m_zip) {
            zip_discard(m_zip);
            m_zip = nullptr;
        }
    }

private:
    struct Relationship
    {
        QString id, type, target;
    };
    struct Sheet
    {
        QString name;
        QString part;
        bool loaded = false;
        QHash<quint64, SheetCell> cells;
    };

    [[noreturn]] void fail(const QString &why)
    {
        close();
        throw SpreadsheetError(
            QStringLiteral("The file \"%1\" is not a readable workbook: %2.").arg(QFileInfo(m_path).fileName(), why));
    }

    bool hasPart(const QString &name) const
    {
        return m_zip && zip_name_locate(m_zip, name.toUtf8().constData(), 0) >= 0;
    }

    QByteArray readPart(const QString &name)
    {
        if (!m_zip)
            fail(QStringLiteral("it is closed"));
        const QByteArray n = name.toUtf8();
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(m_zip, n.constData(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            fail(QStringLiteral("the part %1 is missing").arg(name));
        if (st.size > 512ull * 1024 * 1024)
            fail(QStringLiteral("the part %1 is too large").arg(name));
        zip_file_t *f = zip_fopen(m_zip, n.constData(), 0);
        if (!f)
            fail(QStringLiteral("the part %1 cannot be opened").arg(name));
        QByteArray data(qsizetype(st.size), Qt::Uninitialized);
        const zip_int64_t got = data.isEmpty() ? 0 : zip_fread(f, data.data(), st.size);
        zip_fclose(f);
        if (got != zip_int64_t(st.size))
            fail(QStringLiteral("the part %1 is damaged").arg(name));
        return data;
    }

    void checkXml(const QXmlStreamReader &xml, const QString &part)
    {
        if (xml.hasError())
            fail(QStringLiteral("the part %1 is not well-formed (line %2: %3)")
                     .arg(part)
                     .arg(xml.lineNumber())
                     .arg(xml.errorString()));
    }

    // Targets are resolved against `baseDir`; absolute targets start at the package root.
    QList<Relationship> readRelationships(const QString &part, const QString &baseDir)
    {
        QList<Relationship> out;
        QXmlStreamReader xml(readPart(part));
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement() || xml.name() != u"Relationship")
                continue;
            const auto a = xml.attributes();
            if (a.value(QLatin1String("TargetMode")) == u"External")
                continue;
            QString target = a.value(QLatin1String("Target")).toString();
            target = target.startsWith(u'/') ? target.mid(1) : normalise(baseDir + target);
            out << Relationship{a.value(QLatin1String("Id")).toString(), a.value(QLatin1String("Type")).toString(), target};
        }
        checkXml(xml, part);
        return out;
    }

    static QString normalise(const QString &path)
    {
        QStringList out;
        for (const QString &p : path.split(u'/')) {
            if (p == u"..") {
                if (!out.isEmpty())
                    out.removeLast();
            } else if (!p.isEmpty() && p != u".") {
                out << p;
            }
        }
        return out.join(u'/');
    }

    void readWorkbook(const QString &part, const QHash<QString, QString> &targets)
    {
        QXmlStreamReader xml(readPart(part));
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"workbookPr") {
                const QStringView v = xml.attributes().value(QLatin1String("date1904"));
                m_date1904 = v == u"1" || v == u"true";
            } else if (xml.name() == u"sheet") {
                const auto a = xml.attributes();
                QString rid;
                for (const auto &attr : a) {
                    if (attr.name() == u"id" && attr.namespaceUri().endsWith(u"/relationships"))
                        rid = attr.value().toString();
                }
                if (rid.isEmpty())
                    rid = a.value(QLatin1String("r:id")).toString();
                Sheet s;
                s.name = a.value(QLatin1String("name")).toString();
                s.part = targets.value(rid);
                m_sheets.push_back(s);
            }
        }
        checkXml(xml, part);
        if (m_sheets.empty())
            fail(QStringLiteral("it has no sheets"));
    }

    // Text of a <si> or <is> element: its <t> runs, without phonetic guides.
    static QString readRichText(QXmlStreamReader &xml)
    {
        QString text;
        const QString end = xml.name().toString();
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isEndElement() && xml.name() == end)
                break;
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"rPh")
                xml.skipCurrentElement();
            else if (xml.name() == u"t")
                text += xml.readElementText();
        }
        return text;
    }

    void readSharedStrings(const QString &part)
    {
        QXmlStreamReader xml(readPart(part));
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement() && xml.name() == u"si")
                m_strings << readRichText(xml);
        }
        checkXml(xml, part);
    }

    void readStyles(const QString &part)
    {
        QXmlStreamReader xml(readPart(part));
        QHash<int, QString> codes;
        bool inCellXfs = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (xml.isStartElement()) {
                if (xml.name() == u"numFmt") {
                    codes.insert(xml.attributes().value(QLatin1String("numFmtId")).toInt(),
                                 xml.attributes().value(QLatin1String("formatCode")).toString());
                } else if (xml.name() == u"cellXfs") {
                    inCellXfs = true;
                } else if (inCellXfs && xml.name() == u"xf") {
                    const int id = xml.attributes().value(QLatin1String("numFmtId")).toInt();
                    m_dateStyles << isDateFormat(id, codes.value(id));
                }
            } else if (xml.isEndElement() && xml.name() == u"cellXfs") {
                inCellXfs = false;
            }
        }
        checkXml(xml, part);
    }

    void loadSheet(Sheet &s)
    {
        s.loaded = true;
        if (s.part.isEmpty() || !hasPart(s.part))
            return; // a chart sheet or a missing part reads as empty
        QXmlStreamReader xml(readPart(s.part));
        int row = 0, column = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement())
                continue;
            if (xml.name() == u"row") {
                const QStringView r = xml.attributes().value(QLatin1String("r"));
                row = r.isEmpty() ? row + 1 : r.toInt();
                column = 0;
            } else if (xml.name() == u"c") {
                const auto a = xml.attributes();
                const QString ref = a.value(QLatin1String("r")).toString();
                int r = row, c = column + 1;
                if (!ref.isEmpty() && !parseReference(ref, &r, &c))
                    fail(QStringLiteral("the sheet \"%1\" has a cell with the bad reference %2").arg(s.name, ref));
                row = r;
                column = c;
                const QString type = a.value(QLatin1String("t")).toString();
                const int style = a.value(QLatin1String("s")).toInt();
                QString value, inlineText;
                bool hasInline = false;
                while (!xml.atEnd()) {
                    xml.readNext();
                    if (xml.isEndElement() && xml.name() == u"c")
                        break;
                    if (!xml.isStartElement())
                        continue;
                    if (xml.name() == u"v") {
                        value = xml.readElementText();
                    } else if (xml.name() == u"is") {
                        inlineText = readRichText(xml);
                        hasInline = true;
                    } else {
                        xml.skipCurrentElement();
                    }
                }
                const SheetCell cell = makeCell(type, style, value, inlineText, hasInline);
                if (cell.kind != SheetCell::Kind::Empty)
                    s.cells.insert(cellKey(row, column), cell);
            }
        }
        checkXml(xml, s.part);
    }

    SheetCell makeCell(const QString &type, int style, const QString &value, const QString &inlineText,
                       bool hasInline) const
    {
        if (type == u"inlineStr")
            return hasInline ? textCell(inlineText) : SheetCell{};
        if (type == u"s") {
            bool ok = false;
            const int i = value.toInt(&ok);
            return ok && i >= 0 && i < m_strings.size() ? textCell(m_strings.at(i)) : SheetCell{};
        }
        if (type == u"str")
            return textCell(value);
        if (value.isEmpty())
            return {};
        if (type == u"b") {
            SheetCell c;
            c.kind = SheetCell::Kind::Boolean;
            c.number = value == u"1" ? 1 : 0;
            c.text = value == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            return c;
        }
        if (type == u"e") {
            SheetCell c;
            c.kind = SheetCell::Kind::Error;
            c.text = value;
            return c;
        }
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok)
            return textCell(value);
        if (style >= 0 && style < m_dateStyles.size() && m_dateStyles.at(style))
            return dateCell(fromSerial(v, m_date1904), v);
        return numberCell(v);
    }

    QString m_path;
    zip_t *m_zip = nullptr;
    std::vector<Sheet> m_sheets;
    QStringList m_strings;
    QList<bool> m_dateStyles;
    bool m_date1904 = false;
};

} // namespace

std::optional<double> SheetCell::toNumber() const
{
    if (kind == Kind::Number)
        return number;
    if (kind == Kind::Text) {
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (ok && std::isfinite(v))
            return v;
    }
    return std::nullopt;
}

std::unique_ptr<Spreadsheet> Spreadsheet::open(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        throw SpreadsheetError(QStringLiteral("The file \"%1\" cannot be opened.").arg(path));
    const QByteArray magic = f.read(8);
    f.close();
    if (magic.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)))
        return std::make_unique<XlsWorkbook>(path);
    if (magic.startsWith("PK\x03\x04"))
        return std::make_unique<XlsxWorkbook>(path);
    throw SpreadsheetError(
        QStringLiteral("The file \"%1\" is not a readable workbook: it is neither an .xls nor an .xlsx file.").arg(name));
}

SheetCell Spreadsheet::cell(int sheet, const QString &reference)
{
    int row = 0, column = 0;
    if (!parseReference(reference, &row, &column))
        return {};
    return cell(sheet, row, column);
}

bool Spreadsheet::parseReference(const QString &reference, int *row, int *column)
{
    int i = 0, c = 0, r = 0;
    const QString ref = reference.trimmed().toUpper();
    while (i < ref.size() && ref.at(i) >= u'A' && ref.at(i) <= u'Z') {
        c = c * 26 + (ref.at(i).unicode() - u'A' + 1);
        if (c > 16384)
            return false;
        ++i;
    }
    const int letters = i;
    while (i < ref.size() && ref.at(i).isDigit()) {
        r = r * 10 + ref.at(i).digitValue();
        if (r > 1048576)
            return false;
        ++i;
    }
    if (letters == 0 || i == letters || i != ref.size() || r < 1)
        return false;
    *row = r;
    *column = c;
    return true;
}

QString Spreadsheet::columnName(int column)
{
    QString name;
    while (column > 0) {
        const int rem = (column - 1) % 26;
        name.prepend(QChar(u'A' + rem));
        column = (column - 1) / 26;
    }
    return name;
}

QDateTime Spreadsheet::fromSerial(double serial, bool system1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial > 2958466)
        return {};
    qint64 days = qint64(std::floor(serial));
    qint64 ms = qint64(std::llround((serial - double(days)) * 86400000.0));
    if (ms >= 86400000) {
        ++days;
        ms -= 86400000;
    }
    QDate date;
    if (system1904) {
        date = QDate(1904, 1, 1).addDays(days);
    } else {
        if (days == 60) // the phantom 29 February 1900
            return {};
        date = days < 60 ? QDate(1899, 12, 31).addDays(days) : QDate(1899, 12, 30).addDays(days);
    }
    return QDateTime(date, QTime(0, 0).addMSecs(int(ms)));
}
