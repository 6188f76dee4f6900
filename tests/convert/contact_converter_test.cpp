#include "convert/contact_converter.h"

#include "support/recording_host.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv {
namespace {

std::vector<std::string> lines(const text::LineList& list)
{
    return {list.begin(), list.end()};
}

text::LineList listOf(const std::vector<std::string>& lines)
{
    text::LineList list;
    for (const std::string& line : lines) list.append(line);
    return list;
}

TEST(ContactTable, FieldsFromTheirLines)
{
    struct Case {
        const char* what;
        std::vector<std::string> vcard;
        std::vector<std::string> rows; // after the header
    };
    const std::vector<Case> cases{
        {"two contacts",
         {"BEGIN:VCARD", "VERSION:2.1", "N:Zhang;San;;;", "TEL;CELL:138", "END:VCARD", "BEGIN:VCARD", "FN:Li Si",
          "TEL;WORK;VOICE:010-1", "EMAIL;INTERNET:li@x.cn", "ORG:Acme", "ADR;WORK:;;Road 1;City", "END:VCARD"},
         {"ZhangSan,138,,,,", "Li Si,,010-1,li@x.cn,Acme,Road 1City"}},
        {"FN only with a mobile", {"FN:Wang", "TEL;CELL:139", "END:VCARD"}, {"Wang,139,,,,"}},
        {"no name line", {"TEL;CELL:1", "END:VCARD"}, {",1,,,,"}},
        {"first line of a field wins, N before FN",
         {"N:First", "FN:Second", "TEL;CELL:1", "TEL;CELL:2", "END:VCARD"},
         {"First,1,,,,"}},
        {"an empty value still fills its field", {"N:", "FN:Late", "END:VCARD"}, {",,,,,"}},
        {"parameters after N or another TEL type are not matched",
         {"N;CHARSET=UTF-8:Zhang", "TEL;TYPE=CELL:1", "tel;cell:2", "END:VCARD"},
         {",,,,,"}},
        {"a line without colon is its own value", {"EMAILbox", "END:VCARD"}, {",,,EMAILbox,,"}},
        {"a comma in a value is written as it stands", {"ORG:A,B", "END:VCARD"}, {",,,,A,B,"}},
        {"placeholder text in a value is kept", {"N:${Tel}", "TEL;WORK:5", "END:VCARD"}, {"${Tel},,5,,,"}},
        {"lines after the last END give no row", {"N:A", "END:VCARD", "N:B"}, {"A,,,,,"}},
        {"END must be upper case", {"N:A", "end:VCARD"}, {}},
    };
    testing::RecordingHost host;
    for (const Case& c : cases) {
        std::vector<std::string> expected{"Name,Cell,Tel,Email,Org,Address"};
        expected.insert(expected.end(), c.rows.begin(), c.rows.end());
        EXPECT_EQ(lines(contactTable(listOf(c.vcard), "csv", host)), expected) << c.what;
    }
}

TEST(ContactTable, TxtLayoutSeparatesByTab)
{
    testing::RecordingHost host;
    EXPECT_EQ(lines(contactTable(listOf({"N:A;B", "ORG:X,Y", "END:VCARD"}), "txt", host)),
              (std::vector<std::string>{"Name\tCell\tTel\tEmail\tOrg\tAddress", "AB\t\t\t\tX,Y\t"}));
    EXPECT_EQ(host.eventCalls, 3);
}

} // namespace
} // namespace qv
