#include "convert/sheet_text.h"

#include <cctype>

namespace qv {
namespace {

bool isDecimalNumber(std::string_view cell)
{
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t start = i;
        while (i < cell.size() && std::isdigit(static_cast<unsigned char>(cell[i]))) ++i;
        return i - start;
    };
    if (i < cell.size() && cell[i] == '-') ++i;
    std::size_t mantissa = digits();
    if (i < cell.size() && cell[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return false;
    if (i < cell.size() && (cell[i] == 'E' || cell[i] == 'e')) {
        ++i;
        if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) ++i;
        if (digits() == 0) return false;
    }
    return i == cell.size();
}

void appendEscaped(std::string& xml, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '&': xml += "&amp;"; break;
        case '<': xml += "&lt;"; break;
        case '>': xml += "&gt;"; break;
        case '"': xml += "&quot;"; break;
        case '\n': xml += "&#10;"; break;
        case '\r': xml += "&#13;"; break;
        default:
            if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') xml.push_back(c);
        }
    }
}

void appendRow(std::string& xml, const std::vector<std::string>& cells)
{
    xml += "   <Row>";
    bool skipped = false;
    for (std::size_t column = 0; column < cells.size(); ++column) {
        const std::string& cell = cells[column];
        if (cell.empty()) {
            skipped = true;
            continue;
        }
        xml += "<Cell";
        if (skipped) xml += " ss:Index=\"" + std::to_string(column + 1) + "\"";
        skipped = false;
        xml += isDecimalNumber(cell) ? "><Data ss:Type=\"Number\">" : "><Data ss:Type=\"String\">";
        appendEscaped(xml, cell);
        xml += "</Data></Cell>";
    }
    xml += "</Row>\r\n";
}

} // namespace

std::vector<std::string_view> delimitedRecords(std::string_view text)
{
    std::vector<std::string_view> records;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') quoted = !quoted;
        if (text[i] != '\n' || quoted) continue;
        std::string_view record = text.substr(start, i - start);
        if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
        records.push_back(record);
        start = i + 1;
    }
    if (start < text.size()) records.push_back(text.substr(start));
    return records;
}

std::string withCrLfRecords(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (const std::string_view record : delimitedRecords(text)) out.append(record).append("\r\n");
    return out;
}

std::vector<std::string> delimitedCells(std::string_view record, char separator)
{
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < record.size(); ++i) {
        const char c = record[i];
        if (c == '"') {
            if (quoted && i + 1 < record.size() && record[i + 1] == '"') {
                cells.back().push_back('"');
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == separator && !quoted) {
            cells.emplace_back();
        } else {
            cells.back().push_back(c);
        }
    }
    return cells;
}

std::string spreadsheetXml(std::string_view utf8Csv)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                      "<?mso-application progid=\"Excel.Sheet\"?>\r\n"
                      "<Workbook xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\"\r\n"
                      " xmlns:ss=\"urn:schemas-microsoft-com:office:spreadsheet\">\r\n"
                      " <Worksheet ss:Name=\"Sheet1\">\r\n"
                      "  <Table>\r\n";
    if (utf8Csv.starts_with("\xEF\xBB\xBF")) utf8Csv.remove_prefix(3);
    for (const std::string_view record : delimitedRecords(utf8Csv)) appendRow(xml, delimitedCells(record, ','));
    xml += "  </Table>\r\n"
           " </Worksheet>\r\n"
           "</Workbook>\r\n";
    return xml;
}

} // namespace qv
