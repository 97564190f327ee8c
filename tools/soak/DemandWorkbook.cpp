#include "DemandWorkbook.h"

#include "purchasing/DemandImport.h"

#include <QFile>

#include <cstdlib>
#include <cstring>

#include <zip.h>

namespace soak {

namespace {

const char *const kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/xl/workbook.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
    "<Override PartName=\"/xl/worksheets/sheet1.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>"
    "</Types>";
const char *const kRootRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"xl/workbook.xml\"/></Relationships>";
const char *const kWorkbook =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
    "<sheets><sheet name=\"Demand\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
const char *const kWorkbookRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/></Relationships>";

QByteArray cell(const char *column, int row, const QString &text)
{
    if (text.isEmpty())
        return {};
    return QByteArray("<c r=\"") + column + QByteArray::number(row) + "\" t=\"inlineStr\"><is><t>" +
           text.toHtmlEscaped().toUtf8() + "</t></is></c>";
}

bool add(zip_t *zip, const char *name, const QByteArray &data)
{
    // libzip reads the buffer when the archive is closed: it must outlive the source.
    auto *copy = static_cast<char *>(::malloc(size_t(data.size())));
    if (!copy)
        return false;
    std::memcpy(copy, data.constData(), size_t(data.size()));
    zip_source_t *source = zip_source_buffer(zip, copy, zip_uint64_t(data.size()), 1);
    if (!source) {
        ::free(copy);
        return false;
    }
    if (zip_file_add(zip, name, source, ZIP_FL_OVERWRITE) < 0) {
        zip_source_free(source);
        return false;
    }
    return true;
}

} // namespace

bool writeDemandWorkbook(const QString &path, const std::vector<DemandRow> &rows)
{
    QByteArray sheet =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><sheetData>";
    int row = purchasing::kFirstDemandRow;
    for (const DemandRow &r : rows) {
        sheet += "<row r=\"" + QByteArray::number(row) + "\">" + cell("B", row, r.orderDate) +
                 cell("D", row, r.poNumber) + cell("E", row, r.refNumber) + cell("I", row, r.qty) +
                 cell("M", row, r.dueDate) + cell("Q", row, r.price) + "</row>";
        ++row;
    }
    sheet += "</sheetData></worksheet>";

    QFile::remove(path);
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return false;
    const bool added = add(zip, "[Content_Types].xml", kContentTypes) && add(zip, "_rels/.rels", kRootRels) &&
                       add(zip, "xl/workbook.xml", kWorkbook) &&
                       add(zip, "xl/_rels/workbook.xml.rels", kWorkbookRels) &&
                       add(zip, "xl/worksheets/sheet1.xml", sheet);
    if (!added) {
        zip_discard(zip);
        return false;
    }
    return zip_close(zip) == 0;
}

} // namespace soak
