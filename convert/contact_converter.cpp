#include "convert/contact_converter.h"

#include "convert/conversion_call.h"

#include <algorithm>
#include <array>
#include <optional>

namespace qv {
namespace {

enum Field { Name, Cell, Tel, Email, Org, Addr, FieldCount };

struct FieldPrefix {
    std::string_view prefix;
    Field field;
};

// In the order they are tried; the first match gives the line's field.
constexpr std::array<FieldPrefix, 7> fieldPrefixes{{
    {"N:", Name},
    {"FN:", Name},
    {"TEL;CELL", Cell},
    {"TEL;WORK", Tel},
    {"EMAIL", Email},
    {"ORG", Org},
    {"ADR", Addr},
}};

std::optional<Field> fieldOf(std::string_view line)
{
    for (const FieldPrefix& candidate : fieldPrefixes)
        if (line.starts_with(candidate.prefix)) return candidate.field;
    return std::nullopt;
}

std::string_view valueOf(std::string_view line)
{
    const std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? line : line.substr(colon + 1);
}

// One contact's fields; a field filled once, even with an empty value, keeps
// its first value.
class Contact {
public:
    void fill(Field field, std::string_view value)
    {
        if (values_[field]) return;
        std::string kept(value);
        // ";" is never the second byte of a double-byte character.
        kept.erase(std::remove(kept.begin(), kept.end(), ';'), kept.end());
        values_[field] = std::move(kept);
    }

    std::string row(char separator) const
    {
        std::string row;
        for (int field = 0; field < FieldCount; ++field) {
            if (field > 0) row.push_back(separator);
            if (values_[field]) row += *values_[field];
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
    for (const std::string_view line : vcard) {
        host.processEvents();
        if (const std::optional<Field> field = fieldOf(line)) contact.fill(*field, valueOf(line));
        if (line.starts_with("END:")) {
            table.append(contact.row(separator));
            contact = Contact();
        }
    }
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
