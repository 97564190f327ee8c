#include "core/Spreadsheet.h"

#include "core/Money.h"
#include "core/WorkbookReader.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <QXmlStreamReader>

#include <freexl.h>
#include <zip.h>

#include <cmath>

#include <cerrno>

#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

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
        // What else FreeXL returns is no reliable reason.
        return QStringLiteral("its workbook data is damaged");
    }
}

QString notEnoughMemory(const QString &name)
{
    return QStringLiteral("The workbook \"%1\" could not be read: there is not enough memory to read it.")
        .arg(name);
}

// FreeXL turns every day count it cannot convert (negative, or beyond year 9999) into this date,
// so it cannot be told from damage; no order or demand line is dated January 1900.
const QDate kNoXlsDate(1900, 1, 1);

// An .xls sheet is walked cell by cell over its dimensions; beyond this it is no order workbook.
constexpr quint64 kMaxScannedCells = 20000000;

// A date cell without a usable date: neither a date nor text that could be read as one.
SheetCell noDateCell(const char *text)
{
    SheetCell c;
    c.kind = SheetCell::Kind::Error;
    c.text = QString::fromLatin1(text);
    return c;
}

// FreeXL allocates every cell a sheet's DIMENSIONS record claims, up front and for all sheets at
// once: a damaged header claiming 65536 x 256 cells costs the reader gigabytes for a few cells.
// So each claim is cut down to the cells the sheet really holds, in a copy of the file, before
// FreeXL sees it. Whatever of the file's structure cannot be followed here is left for FreeXL
// to refuse.

constexpr qint64 kMaxXlsBytes = 64 * 1024 * 1024;

quint16 le16(const char *p)
{
    return quint16(uchar(p[0]) | uchar(p[1]) << 8);
}

quint32 le32(const char *p)
{
    return quint32(le16(p)) | quint32(le16(p + 2)) << 16;
}

// A stream of a compound file: where each of its pieces (sectors) lies in the file.
struct CompoundStream
{
    std::vector<qint64> pieces;
    qint64 pieceSize = 0;
    qint64 size = 0;

    qint64 fileOffset(qint64 at) const { return pieces[size_t(at / pieceSize)] + at % pieceSize; }
    QByteArray read(const QByteArray &file) const
    {
        QByteArray out;
        out.reserve(size);
        for (qint64 p : pieces)
            out.append(file.constData() + p, qMin(pieceSize, size - out.size()));
        return out;
    }
};

class CompoundFile
{
public:
    explicit CompoundFile(const QByteArray &file) : m_file(file) {}

    // The workbook stream; false when the file's structure cannot be followed.
    bool workbook(CompoundStream *out)
    {
        const char *h = m_file.constData();
        if (m_file.size() < 512 || (le16(h + 0x1E) != 9 && le16(h + 0x1E) != 12))
            return false;
        m_sector = qint64(1) << le16(h + 0x1E);
        if (!readFat())
            return false;
        CompoundStream dir;
        if (!chain(le32(h + 0x30), m_fat, qint64(m_fat.size()) * m_sector, &dir))
            return false;
        const QByteArray entries = dir.read(m_file);
        quint32 start = kEnd;
        qint64 size = -1;
        for (qsizetype e = 0; e + 128 <= entries.size(); e += 128) {
            const char *d = entries.constData() + e;
            const int nameBytes = le16(d + 0x40);
            if (nameBytes < 2 || nameBytes > 64)
                continue;
            const QString name = QString::fromUtf16(reinterpret_cast<const char16_t *>(d), nameBytes / 2 - 1);
            if (d[0x42] == 2 && size < 0 && (name == u"Workbook" || name == u"Book")) {
                start = le32(d + 0x74);
                size = le32(d + 0x78);
            }
        }
        // A stream below the cut-off lies in the mini stream; no workbook with a sheet of real
        // lines is that small, and its claims are left to the reader's memory limit.
        if (size < 0 || size < le32(h + 0x38))
            return false;
        return chain(start, m_fat, size, out);
    }

private:
    static constexpr quint32 kEnd = 0xFFFFFFFE;

    bool sectorInFile(quint32 n) const { return (qint64(n) + 2) * m_sector <= m_file.size(); }

    bool readFat()
    {
        const char *h = m_file.constData();
        std::vector<quint32> fatSectors;
        const quint32 count = le32(h + 0x2C);
        if (qint64(count) * m_sector > m_file.size())
            return false;
        for (int i = 0; i < 109 && fatSectors.size() < count; ++i)
            fatSectors.push_back(le32(h + 0x4C + i * 4));
        quint32 difat = le32(h + 0x44);
        for (quint32 hops = 0; fatSectors.size() < count; ++hops) {
            if (hops > count || !sectorInFile(difat))
                return false;
            const char *s = m_file.constData() + (qint64(difat) + 1) * m_sector;
            const qint64 perSector = m_sector / 4 - 1;
            for (qint64 i = 0; i < perSector && fatSectors.size() < count; ++i)
                fatSectors.push_back(le32(s + i * 4));
            difat = le32(s + perSector * 4);
        }
        for (quint32 n : fatSectors) {
            if (!sectorInFile(n))
                return false;
            const char *s = m_file.constData() + (qint64(n) + 1) * m_sector;
            for (qint64 i = 0; i < m_sector / 4; ++i)
                m_fat.push_back(le32(s + i * 4));
        }
        return true;
    }

    // The pieces of the chain from `start` in `table`, enough for `size` bytes; indices times
    // `pieceSize` in `pieces`. False for a chain that is broken, loops or is too short.
    static bool follow(quint32 start, const std::vector<quint32> &table, qint64 size, qint64 pieceSize,
                       std::vector<qint64> *pieces)
    {
        for (quint32 n = start; qint64(pieces->size()) * pieceSize < size; n = table[n]) {
            if (n >= table.size() || pieces->size() > table.size())
                return false;
            pieces->push_back(qint64(n) * pieceSize);
        }
        return true;
    }

    bool chain(quint32 start, const std::vector<quint32> &table, qint64 size, CompoundStream *out) const
    {
        out->pieceSize = m_sector;
        std::vector<qint64> pieces;
        // A stream that runs to its end marker: as far as the chain goes.
        qint64 want = size;
        if (want >= qint64(table.size()) * m_sector) {
            for (quint32 n = start; n != kEnd; n = table[n]) {
                if (n >= table.size() || pieces.size() > table.size())
                    return false;
                pieces.push_back(qint64(n) * m_sector);
            }
            want = qint64(pieces.size()) * m_sector;
        } else if (!follow(start, table, want, m_sector, &pieces)) {
            return false;
        }
        for (qint64 &p : pieces) {
            if (!sectorInFile(quint32(p / m_sector)))
                return false;
            p += m_sector; // sector n starts after the header, at (n + 1) sectors
        }
        out->pieces = std::move(pieces);
        out->size = want;
        return true;
    }

    const QByteArray &m_file;
    qint64 m_sector = 512;
    std::vector<quint32> m_fat;
};

// The workbook's file bytes with every sheet's DIMENSIONS claim cut down to the cells the sheet
// holds; a null array when no claim is larger than that, or the file cannot be followed.
QByteArray withRealDimensions(const QByteArray &file)
{
    CompoundStream stream;
    if (!CompoundFile(file).workbook(&stream))
        return {};
    const QByteArray data = stream.read(file);
    const char *d = data.constData();
    struct Substream
    {
        std::vector<qint64> dimensions; // offsets of the DIMENSIONS records' data
        quint32 rows = 0;               // row and column counts the cells need
        quint32 columns = 0;
    };
    std::vector<Substream> open;
    bool biff8 = true;
    bool first = true;
    QByteArray out;
    auto patch = [&](qint64 at, quint32 value, int bytes) {
        if (out.isNull())
            out = file;
        for (int i = 0; i < bytes; ++i)
            out[stream.fileOffset(at + i)] = char(value >> (8 * i));
    };
    auto close = [&](const Substream &s) {
        for (qint64 at : s.dimensions) {
            // FreeXL sizes the sheet by the last row + 1 and the last column + 1 fields.
            const qint64 rowField = at + (biff8 ? 4 : 2), columnField = at + (biff8 ? 10 : 6);
            const quint32 rows = biff8 ? le32(d + rowField) : le16(d + rowField);
            const quint32 columns = le16(d + columnField);
            if (s.rows < rows)
                patch(rowField, s.rows, biff8 ? 4 : 2);
            if (s.columns < columns)
                patch(columnField, s.columns, 2);
        }
    };
    for (qint64 at = 0; at + 4 <= data.size();) {
        const quint16 type = le16(d + at), size = le16(d + at + 2);
        const qint64 body = at + 4;
        if (body + size > data.size())
            break;
        at = body + size;
        if (type == 0x0809) { // BOF
            if (first && size >= 2)
                biff8 = le16(d + body) == 0x0600;
            first = false;
            open.emplace_back();
        } else if (type == 0x000A && !open.empty()) { // EOF
            close(open.back());
            open.pop_back();
        } else if (open.empty()) {
            continue;
        } else if (type == 0x0200 && size >= (biff8 ? 14 : 10)) { // DIMENSIONS
            open.back().dimensions.push_back(body);
        } else if (size >= 6 && (type == 0x0203 || type == 0x027E || type == 0x0204 || type == 0x00FD ||
                                 type == 0x0205 || type == 0x0006 || type == 0x00D6 || type == 0x00BD)) {
            // NUMBER, RK, LABEL, LABELSST, BOOLERR, FORMULA, RSTRING and MULRK, whose run of
            // 6-byte values FreeXL places in the columns from the first one on.
            quint32 lastColumn = le16(d + body + 2);
            if (type == 0x00BD && size > 16)
                lastColumn += quint32((size - 10 + 5) / 6 - 1);
            Substream &s = open.back();
            s.rows = qMax(s.rows, quint32(le16(d + body)) + 1);
            s.columns = qMax(s.columns, lastColumn + 1);
        }
    }
    return out;
}

// The file's bytes, for finding its sheets' real sizes; empty when it cannot be read here.
QByteArray readXls(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    if (f.size() > kMaxXlsBytes)
        throw SpreadsheetError(
            QStringLiteral("The file \"%1\" is not a readable workbook: it is larger than %2 MiB.")
                .arg(QFileInfo(path).fileName())
                .arg(kMaxXlsBytes >> 20));
    return f.readAll();
}

class XlsWorkbook : public Spreadsheet
{
public:
    explicit XlsWorkbook(const QString &path) : m_path(path)
    {
        QByteArray openPath = QFile::encodeName(path);
        int copy = -1;
        const QByteArray patched = withRealDimensions(readXls(path));
        if (!patched.isNull()) {
            // FreeXL opens files by name only; the copy lives in memory, never on disk.
            copy = memfd_create("corvane-xls", MFD_CLOEXEC);
            if (copy >= 0 && ::write(copy, patched.constData(), size_t(patched.size())) == patched.size())
                openPath = "/proc/self/fd/" + QByteArray::number(copy);
        }
        // FreeXL does not always say that an allocation failed (nor always that it failed at all).
        errno = 0;
        const int rc = freexl_open(openPath.constData(), &m_handle);
        const bool outOfMemory = rc == FREEXL_INSUFFICIENT_MEMORY || errno == ENOMEM;
        if (copy >= 0)
            ::close(copy);
        if (rc != FREEXL_OK || !m_handle) {
            close();
            if (outOfMemory)
                throw SpreadsheetError(notEnoughMemory(QFileInfo(path).fileName()));
            throw SpreadsheetError(
                QStringLiteral("The file \"%1\" is not a readable workbook: %2.")
                    .arg(QFileInfo(path).fileName(), freexlText(rc == FREEXL_OK ? FREEXL_CRAFTED_FILE : rc)));
        }
        unsigned int info = 0;
        if (freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK &&
            info == FREEXL_BIFF_OBFUSCATED) {
            close();
            throw SpreadsheetError(
                QStringLiteral("The workbook \"%1\" is protected with a password and cannot be read.")
                    .arg(QFileInfo(path).fileName()));
        }
        if (freexl_get_info(m_handle, FREEXL_BIFF_SHEET_COUNT, &info) == FREEXL_OK)
            m_sheets = int(info);
        if (m_sheets < 1) {
            close();
            throw SpreadsheetError(
                QStringLiteral("The file \"%1\" is not a readable workbook: it has no sheets.")
                    .arg(QFileInfo(path).fileName()));
        }
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
            const QDate d =
                QDate::fromString(QString::fromLatin1(v.value.text_value), QStringLiteral("yyyy-MM-dd"));
            if (d == kNoXlsDate)
                return noDateCell(v.value.text_value);
            return d.isValid() ? dateCell(QDateTime(d, QTime(0, 0)), 0)
                               : textCell(QString::fromUtf8(v.value.text_value));
        }
        case FREEXL_CELL_DATETIME: {
            const QDateTime dt = QDateTime::fromString(QString::fromLatin1(v.value.text_value),
                                                       QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            if (dt.date() == kNoXlsDate)
                return noDateCell(v.value.text_value);
            return dt.isValid() ? dateCell(dt, 0) : textCell(QString::fromUtf8(v.value.text_value));
        }
        case FREEXL_CELL_TIME:
            return textCell(QString::fromUtf8(v.value.text_value));
        default:
            return {};
        }
    }

    // Every cell that holds something, sheet by sheet, for handing over to another process.
    // False when the sheet claims more cells than any order workbook holds.
    template <typename Fn> void forEachCell(int sheet, Fn fn)
    {
        cell(sheet, 1, 1); // selects the sheet and reads its dimensions
        if (quint64(m_rows) * m_columns > quint64(kMaxScannedCells))
            throw SpreadsheetError(
                QStringLiteral("Sheet %1 of \"%2\" is larger than any order workbook: %3 rows by %4 columns.")
                    .arg(sheet)
                    .arg(QFileInfo(m_path).fileName())
                    .arg(m_rows)
                    .arg(m_columns));
        for (unsigned r = 1; r <= m_rows; ++r)
            for (unsigned c = 1; c <= m_columns; ++c) {
                const SheetCell v = cell(sheet, int(r), int(c));
                if (v.kind != SheetCell::Kind::Empty)
                    fn(int(r), int(c), v);
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
            if (inner == u"h" || inner == u"hh" || inner == u"m" || inner == u"mm" || inner == u"s" ||
                inner == u"ss")
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

// Limits no real order or demand workbook comes near. A file beyond them is refused instead of
// being read, so a small crafted file cannot take gigabytes or minutes.
constexpr qint64 kMaxPartBytes = 64 * 1024 * 1024; // unpacked, per part
constexpr int kMaxCells = 1000000;
constexpr int kMaxSharedStrings = 100000;
constexpr int kMaxStringChars = 32 * 1024;
constexpr qint64 kMaxTextChars = 8 * 1024 * 1024; // all texts of the workbook together
constexpr int kMaxDepth = 64;
// The XML reader holds a whole text or tag in memory: a run of raw bytes without '<' or '>'
// longer than this can only be a text or attribute beyond kMaxStringChars.
constexpr qint64 kMaxRunBytes = 8 * kMaxStringChars;

struct ZipDiscard
{
    void operator()(zip_t *z) const { zip_discard(z); }
};

// One zip entry as a stream. Reading on to the end of the entry is what makes libzip compare
// the entry's CRC, so a flipped byte is an error and never a different number.
class PartDevice : public QIODevice
{
public:
    explicit PartDevice(zip_file_t *file) : m_file(file)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~PartDevice() override { zip_fclose(m_file); }

    bool isSequential() const override { return true; }
    bool atEnd() const override { return m_end; }
    // Why the stream stopped early; empty when it did not.
    QString problem() const { return m_problem; }

    // Reads what the XML reader left, for the CRC check; false when the entry is damaged.
    bool drain()
    {
        char buffer[16384];
        while (!m_end) {
            if (readData(buffer, sizeof buffer) < 0)
                return false;
        }
        return m_problem.isEmpty();
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_end)
            return m_problem.isEmpty() ? 0 : -1;
        const zip_int64_t got = zip_fread(m_file, data, zip_uint64_t(maxSize));
        if (got < 0)
            return stop(QStringLiteral("is damaged"));
        if (got == 0) {
            m_end = true;
            return 0;
        }
        m_total += got;
        if (m_total > kMaxPartBytes)
            return stop(QStringLiteral("is larger than %1 MiB unpacked").arg(kMaxPartBytes >> 20));
        for (zip_int64_t i = 0; i < got; ++i) {
            if (data[i] == '<' || data[i] == '>')
                m_run = 0;
            else if (++m_run > kMaxRunBytes)
                return stop(QStringLiteral("holds a text longer than %1 characters").arg(kMaxStringChars));
        }
        return got;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    qint64 stop(const QString &why)
    {
        m_problem = why;
        m_end = true;
        return -1;
    }

    zip_file_t *m_file;
    qint64 m_total = 0;
    qint64 m_run = 0;
    bool m_end = false;
    QString m_problem;
};

class XlsxWorkbook : public Spreadsheet
{
public:
    explicit XlsxWorkbook(const QString &path) : m_path(path)
    {
        int err = 0;
        m_zip.reset(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err));
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
        const QString relsPart =
            baseDir + QStringLiteral("_rels/") + workbookPart.mid(baseDir.size()) + QStringLiteral(".rels");
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
        // A sheet whose data is gone must not read as a sheet without lines.
        for (const Sheet &s : m_sheets) {
            if (s.part.isEmpty())
                fail(QStringLiteral("the sheet \"%1\" has no data part").arg(s.name));
            if (!hasPart(s.part))
                fail(QStringLiteral("the data of the sheet \"%1\" (%2) is missing").arg(s.name, s.part));
        }
        // Without a relationship the parts are looked for under their usual names.
        m_sharedStringsPart =
            sharedStringsPart.isEmpty() ? baseDir + QStringLiteral("sharedStrings.xml") : sharedStringsPart;
        m_stylesPart = stylesPart.isEmpty() ? baseDir + QStringLiteral("styles.xml") : stylesPart;
        if (hasPart(m_sharedStringsPart))
            readSharedStrings(m_sharedStringsPart);
        if (hasPart(m_stylesPart)) {
            m_hasStyles = true;
            readStyles(m_stylesPart);
        }
    }

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
        const auto it = s.cells.constFind(cellKey(row, column));
        return it == s.cells.cend() ? SheetCell{} : toSheetCell(*it);
    }

    void close() override { m_zip.reset(); }

private:
    struct Relationship
    {
        QString id, type, target;
    };
    // A cell as kept between reads: texts live once in m_texts.
    struct StoredCell
    {
        SheetCell::Kind kind = SheetCell::Kind::Empty;
        int text = -1;
        double number = 0;
    };
    struct Sheet
    {
        QString name;
        QString part;
        bool loaded = false;
        QHash<quint64, StoredCell> cells;
    };

    // One part read as a stream, its nesting depth checked on every step.
    class Part
    {
    public:
        Part(XlsxWorkbook &book, const QString &name) : m_book(book), m_name(name)
        {
            const QByteArray n = name.toUtf8();
            zip_stat_t st;
            zip_stat_init(&st);
            if (!m_book.m_zip || zip_stat(m_book.m_zip.get(), n.constData(), 0, &st) != 0)
                m_book.fail(QStringLiteral("the part %1 is missing").arg(name));
            if ((st.valid & ZIP_STAT_SIZE) && st.size > zip_uint64_t(kMaxPartBytes))
                m_book.fail(QStringLiteral("the part %1 is larger than %2 MiB unpacked")
                                .arg(name)
                                .arg(kMaxPartBytes >> 20));
            zip_file_t *f = zip_fopen(m_book.m_zip.get(), n.constData(), 0);
            if (!f)
                m_book.fail(QStringLiteral("the part %1 cannot be opened").arg(name));
            m_device = std::make_unique<PartDevice>(f);
            xml.setDevice(m_device.get());
        }

        // The next token; false at the end of the part.
        bool next()
        {
            if (xml.atEnd())
                return false;
            xml.readNext();
            if (xml.isStartElement()) {
                if (++m_depth > kMaxDepth)
                    m_book.fail(QStringLiteral("the part %1 nests its elements more than %2 deep")
                                    .arg(m_name)
                                    .arg(kMaxDepth));
            } else if (xml.isEndElement()) {
                --m_depth;
            }
            return !xml.atEnd();
        }
        bool startOf(QStringView name) const { return xml.isStartElement() && xml.name() == name; }
        bool endOf(QStringView name) const { return xml.isEndElement() && xml.name() == name; }

        // Skips the element just started, however deep it goes, within the depth limit.
        void skipElement()
        {
            const int depth = m_depth;
            while (m_depth >= depth && next()) {
            }
        }

        // Text of the element just started; child elements are an error.
        QString elementText()
        {
            QString text = xml.readElementText();
            --m_depth;
            if (text.size() > kMaxStringChars)
                m_book.fail(QStringLiteral("the part %1 holds a text longer than %2 characters")
                                .arg(m_name)
                                .arg(kMaxStringChars));
            return text;
        }

        // Throws when the part was damaged, cut short or malformed.
        void finish()
        {
            const bool whole = !xml.hasError() && m_device->drain();
            if (!m_device->problem().isEmpty())
                m_book.fail(QStringLiteral("the part %1 %2").arg(m_name, m_device->problem()));
            if (!whole)
                m_book.fail(QStringLiteral("the part %1 is not well-formed (line %2: %3)")
                                .arg(m_name)
                                .arg(xml.lineNumber())
                                .arg(xml.errorString()));
        }

        QXmlStreamReader xml;

    private:
        XlsxWorkbook &m_book;
        QString m_name;
        std::unique_ptr<PartDevice> m_device;
        int m_depth = 0;
    };

    [[noreturn]] void fail(const QString &why)
    {
        throw SpreadsheetError(QStringLiteral("The file \"%1\" is not a readable workbook: %2.")
                                   .arg(QFileInfo(m_path).fileName(), why));
    }

    bool hasPart(const QString &name) const
    {
        return m_zip && zip_name_locate(m_zip.get(), name.toUtf8().constData(), 0) >= 0;
    }

    // Targets are resolved against `baseDir`; absolute targets start at the package root.
    QList<Relationship> readRelationships(const QString &name, const QString &baseDir)
    {
        QList<Relationship> out;
        Part part(*this, name);
        while (part.next()) {
            if (!part.startOf(u"Relationship"))
                continue;
            const auto a = part.xml.attributes();
            if (a.value(QLatin1String("TargetMode")) == u"External")
                continue;
            QString target = a.value(QLatin1String("Target")).toString();
            target = target.startsWith(u'/') ? target.mid(1) : normalise(baseDir + target);
            out << Relationship{a.value(QLatin1String("Id")).toString(),
                                a.value(QLatin1String("Type")).toString(), target};
        }
        part.finish();
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

    void readWorkbook(const QString &name, const QHash<QString, QString> &targets)
    {
        Part part(*this, name);
        while (part.next()) {
            if (!part.xml.isStartElement())
                continue;
            if (part.xml.name() == u"workbookPr") {
                const QStringView v = part.xml.attributes().value(QLatin1String("date1904"));
                m_date1904 = v == u"1" || v == u"true";
            } else if (part.xml.name() == u"sheet") {
                const auto a = part.xml.attributes();
                QString rid;
                for (const auto &attr : a) {
                    if (attr.name() == u"id" && attr.namespaceUri().endsWith(u"/relationships"))
                        rid = attr.value().toString();
                }
                if (rid.isEmpty())
                    rid = a.value(QLatin1String("r:id")).toString();
                if (m_sheets.size() >= 1000)
                    fail(QStringLiteral("it names more than 1000 sheets"));
                Sheet s;
                s.name = a.value(QLatin1String("name")).toString();
                s.part = targets.value(rid);
                m_sheets.push_back(s);
            }
        }
        part.finish();
        if (m_sheets.empty())
            fail(QStringLiteral("it has no sheets"));
    }

    // Text of a <si> or <is> element: its <t> runs, without phonetic guides.
    QString readRichText(Part &part)
    {
        QString text;
        const QString end = part.xml.name().toString();
        while (part.next()) {
            if (part.endOf(end))
                break;
            if (!part.xml.isStartElement())
                continue;
            if (part.xml.name() == u"rPh")
                part.skipElement();
            else if (part.xml.name() == u"t")
                text += part.elementText();
            if (text.size() > kMaxStringChars)
                fail(QStringLiteral("it holds a text longer than %1 characters").arg(kMaxStringChars));
        }
        return text;
    }

    int keepText(const QString &text)
    {
        m_textChars += text.size();
        if (m_textChars > kMaxTextChars)
            fail(QStringLiteral("it holds more than %1 million characters of text").arg(kMaxTextChars >> 20));
        m_texts << text;
        return int(m_texts.size() - 1);
    }

    void readSharedStrings(const QString &name)
    {
        Part part(*this, name);
        while (part.next()) {
            if (!part.startOf(u"si"))
                continue;
            if (m_texts.size() >= kMaxSharedStrings)
                fail(QStringLiteral("it holds more than %1 shared strings").arg(kMaxSharedStrings));
            keepText(readRichText(part));
        }
        part.finish();
        m_sharedStrings = int(m_texts.size());
        m_hasSharedStrings = true;
    }

    void readStyles(const QString &name)
    {
        Part part(*this, name);
        QHash<int, QString> codes;
        bool inCellXfs = false;
        while (part.next()) {
            if (part.xml.isStartElement()) {
                const auto a = part.xml.attributes();
                if (part.xml.name() == u"numFmt") {
                    codes.insert(a.value(QLatin1String("numFmtId")).toInt(),
                                 a.value(QLatin1String("formatCode")).toString());
                } else if (part.xml.name() == u"cellXfs") {
                    inCellXfs = true;
                } else if (inCellXfs && part.xml.name() == u"xf") {
                    if (m_dateStyles.size() >= 65536)
                        fail(QStringLiteral("it defines more than 65536 cell styles"));
                    const int id = a.value(QLatin1String("numFmtId")).toInt();
                    m_dateStyles << isDateFormat(id, codes.value(id));
                }
            } else if (part.endOf(u"cellXfs")) {
                inCellXfs = false;
            }
        }
        part.finish();
    }

    void loadSheet(Sheet &s)
    {
        s.loaded = true;
        Part part(*this, s.part);
        int row = 0, column = 0;
        while (part.next()) {
            if (!part.xml.isStartElement())
                continue;
            if (part.xml.name() == u"row") {
                const QStringView r = part.xml.attributes().value(QLatin1String("r"));
                row = r.isEmpty() ? row + 1 : r.toInt();
                column = 0;
            } else if (part.xml.name() == u"c") {
                if (++m_cellCount > kMaxCells)
                    fail(QStringLiteral("it holds more than %1 cells").arg(kMaxCells));
                const auto a = part.xml.attributes();
                const QString ref = a.value(QLatin1String("r")).toString();
                int r = row, c = column + 1;
                if (!ref.isEmpty() && !parseReference(ref, &r, &c))
                    fail(QStringLiteral("the sheet \"%1\" has a cell with the bad reference %2")
                             .arg(s.name, ref));
                row = r;
                column = c;
                const QString type = a.value(QLatin1String("t")).toString();
                const int style = cellStyle(s, row, column, a.value(QLatin1String("s")));
                QString value, inlineText;
                bool hasInline = false;
                while (part.next()) {
                    if (part.endOf(u"c"))
                        break;
                    if (!part.xml.isStartElement())
                        continue;
                    if (part.xml.name() == u"v") {
                        value = part.elementText();
                    } else if (part.xml.name() == u"is") {
                        inlineText = readRichText(part);
                        hasInline = true;
                    } else {
                        part.skipElement();
                    }
                }
                const StoredCell cell = makeCell(s, row, column, type, style, value, inlineText, hasInline);
                if (cell.kind != SheetCell::Kind::Empty)
                    s.cells.insert(cellKey(row, column), cell);
            }
        }
        part.finish();
    }

    static QString cellName(const Sheet &s, int row, int column)
    {
        return QStringLiteral("the cell %1%2 of the sheet \"%3\"")
            .arg(columnName(column))
            .arg(row)
            .arg(s.name);
    }

    // A cell's style index; a style the workbook does not define is damage, never "no format", for
    // a date would then read as its day count.
    int cellStyle(const Sheet &s, int row, int column, QStringView attribute)
    {
        if (attribute.isEmpty())
            return 0;
        bool ok = false;
        const int style = attribute.toInt(&ok);
        if (!ok || style < 0)
            fail(QStringLiteral("%1 has the unreadable style \"%2\"")
                     .arg(cellName(s, row, column), attribute.left(20).toString()));
        // Style 0 is the default one, which a workbook without styles still has.
        if (style > 0 && style >= m_dateStyles.size())
            failPastPart(cellName(s, row, column), QStringLiteral("has the style %1").arg(style),
                         QStringLiteral("the styles part ") + m_stylesPart, m_hasStyles,
                         QStringLiteral("defines only %1").arg(m_dateStyles.size()));
        return style;
    }

    // Refuses `cell`, whose `reference` ("has the style 3") points past what `part` holds, or at
    // a part that is not there.
    [[noreturn]] void failPastPart(const QString &cell, const QString &reference, const QString &part,
                                   bool present, const QString &holds)
    {
        fail(QStringLiteral("%1 %2, but %3 %4")
                 .arg(cell, reference, part, present ? holds : QStringLiteral("is missing")));
    }

    StoredCell makeCell(const Sheet &s, int row, int column, const QString &type, int style,
                        const QString &value, const QString &inlineText, bool hasInline)
    {
        StoredCell c;
        if (type == u"inlineStr") {
            if (hasInline) {
                c.kind = SheetCell::Kind::Text;
                c.text = keepText(inlineText);
            }
            return c;
        }
        if (type == u"s") {
            if (value.isEmpty())
                return c;
            // A text that is not there must not read as an empty cell.
            bool ok = false;
            const int i = value.toInt(&ok);
            if (!ok || i < 0)
                fail(QStringLiteral("%1 refers to the unreadable shared string \"%2\"")
                         .arg(cellName(s, row, column), value.left(20)));
            if (i >= m_sharedStrings)
                failPastPart(cellName(s, row, column), QStringLiteral("refers to shared string %1").arg(i),
                             QStringLiteral("the shared string table ") + m_sharedStringsPart,
                             m_hasSharedStrings, QStringLiteral("holds only %1").arg(m_sharedStrings));
            c.kind = SheetCell::Kind::Text;
            c.text = i;
            return c;
        }
        if (type == u"str") {
            c.kind = SheetCell::Kind::Text;
            c.text = keepText(value);
            return c;
        }
        if (value.isEmpty())
            return c;
        if (type == u"b") {
            c.kind = SheetCell::Kind::Boolean;
            c.number = value == u"1" ? 1 : 0;
            return c;
        }
        if (type == u"e") {
            c.kind = SheetCell::Kind::Error;
            c.text = keepText(value);
            return c;
        }
        bool ok = false;
        const double v = value.toDouble(&ok);
        if (!ok) {
            c.kind = SheetCell::Kind::Text;
            c.text = keepText(value);
            return c;
        }
        c.kind = style >= 0 && style < m_dateStyles.size() && m_dateStyles.at(style)
                     ? SheetCell::Kind::Date
                     : SheetCell::Kind::Number;
        c.number = v;
        return c;
    }

    SheetCell toSheetCell(const StoredCell &c) const
    {
        switch (c.kind) {
        case SheetCell::Kind::Text:
            return textCell(m_texts.at(c.text));
        case SheetCell::Kind::Number:
            return numberCell(c.number);
        case SheetCell::Kind::Date:
            return dateCell(fromSerial(c.number, m_date1904), c.number);
        case SheetCell::Kind::Boolean: {
            SheetCell b;
            b.kind = SheetCell::Kind::Boolean;
            b.number = c.number;
            b.text = c.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
            return b;
        }
        case SheetCell::Kind::Error: {
            SheetCell e;
            e.kind = SheetCell::Kind::Error;
            e.text = m_texts.at(c.text);
            return e;
        }
        default:
            return {};
        }
    }

    QString m_path;
    std::unique_ptr<zip_t, ZipDiscard> m_zip;
    std::vector<Sheet> m_sheets;
    QStringList m_texts; // the shared strings first, then texts kept from the sheets
    int m_sharedStrings = 0;
    bool m_hasSharedStrings = false;
    QString m_sharedStringsPart;
    bool m_hasStyles = false;
    QString m_stylesPart;
    qint64 m_textChars = 0;
    int m_cellCount = 0;
    QList<bool> m_dateStyles;
    bool m_date1904 = false;
};

// ---------------------------------------------------------------------------------------------
// .xls read in a child process

constexpr quint32 kReaderMagic = 0x43565831; // "CVX1"
constexpr int kReaderCellsOk = 0;
constexpr int kReaderRefused = 3;
constexpr int kReaderOutOfMemory = 4;
constexpr qint64 kReaderMemory = 512LL * 1024 * 1024;
constexpr qint64 kReaderOutputBytes = 64LL * 1024 * 1024; // a million cells with their texts
int g_readerTimeLimit = 20000;
QStringList g_readerCommand;

// The cells handed back by the reader, kept whole.
class HandedOverWorkbook : public Spreadsheet
{
public:
    // Throws SpreadsheetError when `data` is not what the reader writes.
    HandedOverWorkbook(const QByteArray &data, const QString &name)
    {
        QDataStream in(data);
        quint32 magic = 0;
        qint32 sheets = 0;
        in >> magic >> sheets;
        // Every workbook has a sheet: none is a reader that went wrong, never an empty book.
        if (magic != kReaderMagic || sheets < 1 || sheets > 4096)
            throw SpreadsheetError(damaged(name));
        for (int s = 0; s < sheets && in.status() == QDataStream::Ok; ++s) {
            QString sheetName;
            qint32 count = 0;
            in >> sheetName >> count;
            if (count < 0 || count > kMaxCells)
                throw SpreadsheetError(damaged(name));
            m_names << sheetName;
            QHash<quint64, SheetCell> &cells = m_cells.emplace_back();
            cells.reserve(count);
            for (int i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
                qint32 row = 0, column = 0;
                quint8 kind = 0;
                SheetCell c;
                in >> row >> column >> kind >> c.text >> c.number >> c.dateTime;
                c.kind = SheetCell::Kind(qMin<int>(kind, int(SheetCell::Kind::Error)));
                cells.insert(cellKey(row, column), c);
            }
        }
        if (in.status() != QDataStream::Ok || !in.atEnd())
            throw SpreadsheetError(damaged(name));
    }

    static QString damaged(const QString &name)
    {
        return QStringLiteral(
                   "The workbook \"%1\" could not be read: it is damaged or not a workbook this program "
                   "can read.")
            .arg(name);
    }

    int sheetCount() const override { return int(m_names.size()); }
    QString sheetName(int sheet) const override
    {
        return sheet >= 1 && sheet <= sheetCount() ? m_names.at(sheet - 1) : QString();
    }
    SheetCell cell(int sheet, int row, int column) override
    {
        if (sheet < 1 || sheet > sheetCount())
            return {};
        return m_cells[sheet - 1].value(cellKey(row, column));
    }
    void close() override {}

private:
    QStringList m_names;
    std::vector<QHash<quint64, SheetCell>> m_cells;
};

QStringList readerCommand()
{
    if (!g_readerCommand.isEmpty())
        return g_readerCommand;
    const QString exe = QStringLiteral("corvane-xlsread");
    QStringList dirs;
    if (QCoreApplication::instance()) {
        dirs << QCoreApplication::applicationDirPath();
        // Installed, it lives in the program's library folder.
        dirs << QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(CORVANE_LIBEXEC_FROM_BIN));
    }
    // Test programs live in their own folder; the build says where the programs are.
    if (qEnvironmentVariableIsSet("CORVANE_BIN"))
        dirs << qEnvironmentVariable("CORVANE_BIN");
    for (const QString &dir : dirs) {
        const QString candidate = QDir(dir).filePath(exe);
        if (QFileInfo(candidate).isExecutable())
            return {candidate};
    }
    return {QDir(dirs.value(0)).filePath(exe)};
}

std::unique_ptr<Spreadsheet> readInChild(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const QStringList command = readerCommand();
    QProcess reader;
    reader.setProgram(command.first());
    reader.setArguments(command.mid(1) << path);
    reader.setStandardInputFile(QProcess::nullDevice());
    reader.setStandardErrorFile(QProcess::nullDevice());
    reader.setChildProcessModifier([] {
    // A workbook that makes the reader grow without end stops it here, not the machine.
#if !defined(__SANITIZE_ADDRESS__)
        const rlimit memory{rlim_t(kReaderMemory), rlim_t(kReaderMemory)};
        setrlimit(RLIMIT_AS, &memory);
#endif
        const rlim_t seconds = rlim_t(g_readerTimeLimit / 1000 + 2);
        const rlimit cpu{seconds, seconds};
        setrlimit(RLIMIT_CPU, &cpu);
        const rlimit core{0, 0};
        setrlimit(RLIMIT_CORE, &core);
    });
    reader.start();
    if (!reader.waitForStarted(5000))
        throw SpreadsheetError(
            QStringLiteral("The workbook \"%1\" could not be read: the workbook reader (%2) "
                           "could not be started.")
                .arg(name, QDir::toNativeSeparators(command.first())));
    QByteArray data;
    QElapsedTimer clock;
    clock.start();
    QString stopped;
    while (reader.state() != QProcess::NotRunning) {
        const qint64 left = g_readerTimeLimit - clock.elapsed();
        if (left <= 0) {
            stopped =
                QStringLiteral("reading it took longer than %1 seconds").arg(g_readerTimeLimit / 1000.0);
            break;
        }
        reader.waitForReadyRead(int(qMin<qint64>(left, 200)));
        data += reader.readAllStandardOutput();
        if (data.size() > kReaderOutputBytes) {
            stopped = QStringLiteral("it holds more data than any order workbook");
            break;
        }
    }
    if (!stopped.isEmpty()) {
        reader.kill();
        reader.waitForFinished(5000);
        throw SpreadsheetError(
            QStringLiteral("The workbook \"%1\" could not be read: %2.").arg(name, stopped));
    }
    data += reader.readAllStandardOutput();
    if (reader.exitStatus() != QProcess::NormalExit)
        throw SpreadsheetError(HandedOverWorkbook::damaged(name));
    if (reader.exitCode() == kReaderRefused) {
        QDataStream in(data);
        quint32 magic = 0;
        QString message;
        in >> magic >> message;
        if (magic == kReaderMagic && in.status() == QDataStream::Ok && !message.isEmpty())
            throw SpreadsheetError(message);
    }
    if (reader.exitCode() == kReaderOutOfMemory)
        throw SpreadsheetError(notEnoughMemory(name));
    if (reader.exitCode() != kReaderCellsOk)
        throw SpreadsheetError(HandedOverWorkbook::damaged(name));
    return std::make_unique<HandedOverWorkbook>(data, name);
}

bool isXls(const QByteArray &magic)
{
    return magic.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
}

QByteArray fileMagic(const QString &path)
{
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        throw SpreadsheetError(QStringLiteral("The file \"%1\" cannot be opened.").arg(path));
    return f.read(8);
}

} // namespace

std::optional<double> SheetCell::toNumber() const
{
    double v = number;
    if (kind == Kind::Text) {
        bool ok = false;
        v = text.trimmed().toDouble(&ok);
        if (!ok)
            return std::nullopt;
    } else if (kind != Kind::Number) {
        return std::nullopt;
    }
    // Beyond what money can hold, a number is no price or count this program can use.
    if (!Money::tryFromDouble(v))
        return std::nullopt;
    return v;
}

std::unique_ptr<Spreadsheet> workbookreader::openInProcess(const QString &path)
{
    const QByteArray magic = fileMagic(path);
    if (isXls(magic))
        return std::make_unique<XlsWorkbook>(path);
    if (magic.startsWith("PK\x03\x04"))
        return std::make_unique<XlsxWorkbook>(path);
    throw SpreadsheetError(
        QStringLiteral("The file \"%1\" is not a readable workbook: it is neither an .xls nor an .xlsx file.")
            .arg(QFileInfo(path).fileName()));
}

int workbookreader::serve(const QString &path, QIODevice &out)
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    try {
        auto book = openInProcess(path);
        auto *xls = dynamic_cast<XlsWorkbook *>(book.get());
        stream << kReaderMagic << qint32(book->sheetCount());
        int total = 0;
        for (int s = 1; s <= book->sheetCount(); ++s) {
            QByteArray cells;
            QDataStream cellStream(&cells, QIODevice::WriteOnly);
            qint32 count = 0;
            auto add = [&](int row, int column, const SheetCell &c) {
                if (++total > kMaxCells)
                    throw SpreadsheetError(
                        QStringLiteral("The workbook \"%1\" cannot be read: it holds more than %2 cells.")
                            .arg(QFileInfo(path).fileName())
                            .arg(kMaxCells));
                ++count;
                cellStream << qint32(row) << qint32(column) << quint8(c.kind) << c.text << c.number
                           << c.dateTime;
            };
            if (xls)
                xls->forEachCell(s, add);
            stream << book->sheetName(s) << count;
            stream.writeRawData(cells.constData(), int(cells.size()));
        }
    } catch (const SpreadsheetError &e) {
        data.clear();
        QDataStream refusal(&data, QIODevice::WriteOnly);
        refusal << kReaderMagic << e.message();
        out.write(data);
        return kReaderRefused;
    } catch (const std::bad_alloc &) {
        return kReaderOutOfMemory;
    }
    return out.write(data) == data.size() ? kReaderCellsOk : 1;
}

void workbookreader::setCommand(const QStringList &programAndArguments)
{
    g_readerCommand = programAndArguments;
}

void workbookreader::setTimeLimit(int milliseconds)
{
    g_readerTimeLimit = milliseconds;
}

std::unique_ptr<Spreadsheet> Spreadsheet::open(const QString &path)
{
    if (isXls(fileMagic(path)))
        return readInChild(path);
    return workbookreader::openInProcess(path);
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
