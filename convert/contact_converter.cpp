#include "convert/contact_converter.h"

#include "convert/conversion_call.h"
#include "platform/code_page.h"
#include "text/bytes.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace qv {
namespace {

enum Field { Name, Cell, Tel, Email, Org, Addr, FieldCount };

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// A logical vCard line taken apart: "group.NAME;param;KEY=v1,v2:value".
// Names are compared exactly, parameters without regard to letter case.
struct Property {
    std::string_view line; // without its group
    std::string_view name;
    std::string_view value;
    std::vector<std::string> types; // TYPE values and bare parameters, lower-cased
    std::string charset;            // lower-cased; "" when none is declared
    bool quotedPrintable = false;
};

void addParameter(Property& property, std::string_view parameter)
{
    const std::size_t equals = parameter.find('=');
    if (equals == std::string_view::npos) {
        std::string bare = lowerAscii(parameter);
        if (bare == "quoted-printable")
            property.quotedPrintable = true;
        else
            property.types.push_back(std::move(bare));
        return;
    }
    const std::string key = lowerAscii(parameter.substr(0, equals));
    std::string_view values = parameter.substr(equals + 1);
    if (values.size() >= 2 && values.front() == '"' && values.back() == '"')
        values = values.substr(1, values.size() - 2);
    if (key == "encoding") {
        property.quotedPrintable = lowerAscii(values) == "quoted-printable";
    } else if (key == "charset") {
        property.charset = lowerAscii(values);
    } else if (key == "type") {
        for (std::size_t at = 0; at <= values.size();) {
            const std::size_t comma = std::min(values.find(',', at), values.size());
            property.types.push_back(lowerAscii(values.substr(at, comma - at)));
            at = comma + 1;
        }
    }
}

// The value is what follows the line's first ":", the whole line when it has
// none. ";", ":", "," and "." are never the second byte of a double-byte
// character, so byte searches find the real ones.
Property parseProperty(std::string_view line)
{
    Property property;
    const std::size_t nameEnd = std::min(line.find_first_of(";:"), line.size());
    if (const std::size_t dot = line.substr(0, nameEnd).rfind('.'); dot != std::string_view::npos)
        line = line.substr(dot + 1);
    property.line = line;
    const std::size_t colon = line.find(':');
    property.value = colon == std::string_view::npos ? line : line.substr(colon + 1);
    const std::string_view head = line.substr(0, std::min(colon, line.size()));
    const std::size_t semicolon = std::min(head.find(';'), head.size());
    property.name = head.substr(0, semicolon);
    if (colon == std::string_view::npos && semicolon == head.size()) property.name = {}; // no ":" or ";": no name
    for (std::size_t at = semicolon + 1; at <= head.size();) {
        const std::size_t next = std::min(head.find(';', at), head.size());
        if (next > at) addParameter(property, head.substr(at, next - at));
        at = next + 1;
    }
    return property;
}

bool hasType(const Property& property, std::string_view type)
{
    return std::find(property.types.begin(), property.types.end(), type) != property.types.end();
}

// N and FN give the name, TEL of type CELL the mobile and of type WORK the
// telephone; EMAIL, ORG and ADR are recognised by the line's first bytes,
// whatever follows them.
std::optional<Field> fieldOf(const Property& property)
{
    if (property.name == "N" || property.name == "FN") return Name;
    if (property.name == "TEL") {
        if (hasType(property, "cell")) return Cell;
        if (hasType(property, "work")) return Tel;
        return std::nullopt;
    }
    if (property.line.starts_with("EMAIL")) return Email;
    if (property.line.starts_with("ORG")) return Org;
    if (property.line.starts_with("ADR")) return Addr;
    return std::nullopt;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "=XX" gives the byte XX; an "=" not followed by two hex digits stands for
// itself, but one left at the very end (a soft break with nothing after it)
// is dropped.
std::string decodeQuotedPrintable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '=') {
            out.push_back(text[i]);
            continue;
        }
        if (i + 1 == text.size()) break;
        const int high = i + 2 < text.size() ? hexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
        if (low < 0) {
            out.push_back('=');
            continue;
        }
        out.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    return out;
}

// The value in code page 936: quoted-printable decoded, then UTF-8 converted
// (characters GBK lacks become "?"). Other charsets, and values without one,
// are taken as they stand.
std::string decodedValue(const Property& property)
{
    std::string value = property.quotedPrintable ? decodeQuotedPrintable(property.value) : std::string(property.value);
    if (property.charset == "utf-8" || property.charset == "utf8") value = CodePage::gbk().fromUtf8(value);
    // A vCard 4.0 number may be written as a URI: "tel:+86-137...".
    if (property.name == "TEL" && value.starts_with("tel:")) value.erase(0, 4);
    return value;
}

// vCard 3.0 and 4.0 escape text values: "\\," ",", "\\;" ";", "\\\\" "\\" and
// "\\n" or "\\N" a line break. "\\" (0x5C) can be the second byte of a
// double-byte character, so the value is walked character by character.
std::string unescapedValue(std::string_view value)
{
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size();) {
        const std::size_t length = text::charLength(value, i);
        if (length == 1 && value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[i + 1];
            if (next == 'n' || next == 'N') {
                out.append("\r\n");
                i += 2;
                continue;
            }
            if (next == ',' || next == ';' || next == '\\') {
                out.push_back(next);
                i += 2;
                continue;
            }
        }
        out.append(value.substr(i, length));
        i += length;
    }
    return out;
}

bool isQuotedPrintableLine(std::string_view line)
{
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    return lowerAscii(line.substr(0, colon)).find("quoted-printable") != std::string::npos;
}

// Joins folded lines into logical ones: a line that begins with a blank or a
// TAB continues the one before without that character (vCard 3.0 and 4.0),
// and a quoted-printable value that ends with "=" continues on the next
// line (vCard 2.1), unless that line begins a new card or ends one.
class Unfolder {
public:
    // True when `line` was taken as a continuation of the current line.
    bool continues(std::string_view line)
    {
        if (!open_) return false;
        if (quotedPrintable_ && current_.ends_with('=') && !line.starts_with("END:") && !line.starts_with("BEGIN:")) {
            current_.pop_back();
            current_.append(line);
            return true;
        }
        if (!line.empty() && (line.front() == ' ' || line.front() == '\t')) {
            current_.append(line.substr(1));
            return true;
        }
        return false;
    }
    void start(std::string_view line)
    {
        current_.assign(line);
        quotedPrintable_ = isQuotedPrintableLine(line);
        open_ = true;
    }
    // The logical line gathered so far, once; nothing when none is open.
    std::optional<std::string> take()
    {
        if (!open_) return std::nullopt;
        open_ = false;
        return std::move(current_);
    }

private:
    std::string current_;
    bool quotedPrintable_ = false;
    bool open_ = false;
};

// A CSV field as CSV readers expect it (RFC 4180): in double quotes, each
// double quote doubled, when it holds ",", a double quote or a line break.
// None of these bytes is ever the second byte of a double-byte character.
void appendCsvField(std::string& row, std::string_view value)
{
    if (value.find_first_of(",\"\r\n") == std::string_view::npos) {
        row.append(value);
        return;
    }
    row.push_back('"');
    for (const char c : value) {
        if (c == '"') row.push_back('"');
        row.push_back(c);
    }
    row.push_back('"');
}

// A tab-separated field cannot hold its separator or a line break: each
// becomes a blank.
void appendTabField(std::string& row, std::string_view value)
{
    for (const char c : value) row.push_back(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
}

// One contact's fields; a field filled once, even with an empty value, keeps
// its first value.
class Contact {
public:
    void fill(Field field, std::string value)
    {
        if (values_[field]) return;
        // ";" is never the second byte of a double-byte character.
        value.erase(std::remove(value.begin(), value.end(), ';'), value.end());
        values_[field] = std::move(value);
    }

    std::string row(char separator) const
    {
        std::string row;
        for (int field = 0; field < FieldCount; ++field) {
            if (field > 0) row.push_back(separator);
            if (!values_[field]) continue;
            if (separator == ',')
                appendCsvField(row, *values_[field]);
            else
                appendTabField(row, *values_[field]);
        }
        return row;
    }

private:
    std::array<std::optional<std::string>, FieldCount> values_;
};

} // namespace

bool isContactTableExtension(std::string_view extension)
{
    return extension == "csv" || extension == "txt";
}

text::LineList contactTable(const text::LineList& vcard, std::string_view extension, Host& host)
{
    const char separator = extension == "csv" ? ',' : '\t';
    text::LineList table;
    table.append(separator == ',' ? "Name,Cell,Tel,Email,Org,Address" : "Name\tCell\tTel\tEmail\tOrg\tAddress");
    Contact contact;
    bool escaped = false; // the card is vCard 3.0 or 4.0
    const auto handle = [&](const std::string& line) {
        const Property property = parseProperty(line);
        if (property.name == "VERSION") escaped = property.value == "3.0" || property.value == "4.0";
        if (const std::optional<Field> field = fieldOf(property)) {
            const std::string value = decodedValue(property);
            contact.fill(*field, escaped ? unescapedValue(value) : value);
        }
        if (line.starts_with("END:")) {
            table.append(contact.row(separator));
            contact = Contact();
            escaped = false;
        }
    };
    Unfolder unfolder;
    for (const std::string_view line : vcard) {
        host.processEvents();
        if (unfolder.continues(line)) continue;
        if (const std::optional<std::string> logical = unfolder.take()) handle(*logical);
        unfolder.start(line);
    }
    if (const std::optional<std::string> logical = unfolder.take()) handle(*logical);
    return table;
}

std::string convertContacts(FileSystem& fs, std::string_view sourcePath, std::string_view argument, Host& host)
{
    const std::string extension = newExtension(argument);
    if (!isContactTableExtension(extension)) return {};
    const std::string target = convertedPath(sourcePath, extension);
    fs.writeLineList(target, contactTable(fs.readLineList(sourcePath), extension, host));
    return target;
}

} // namespace qv
