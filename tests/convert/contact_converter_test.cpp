#include "convert/contact_converter.h"

#include "support/gbk.h"
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
        {"parameters after N and the TYPE forms of TEL are matched, lower-case names are not",
         {"N;CHARSET=UTF-8:Zhang", "tel;cell:2", "TEL;TYPE=CELL:1", "TEL;type=work,voice:3", "END:VCARD"},
         {"Zhang,1,3,,,"}},
        {"escapes of 3.0 and 4.0 only, a double-byte character ending in 0x5C left whole",
         {"VERSION:3.0", "ORG:A\\,B\\\\C", "FN:\xD5\x5Cn", "END:VCARD", "ORG:A\\,B", "END:VCARD"},
         {"\xD5\x5Cn,,,,\"A,B\\C\",", ",,,,\"A\\,B\","}},
        {"a group before the name is ignored", {"item1.EMAIL;type=INTERNET:a@b.cn", "END:VCARD"}, {",,,a@b.cn,,"}},
        {"other TEL types give no field", {"TEL;HOME:1", "TEL:2", "TEL;TYPE=cell:3", "END:VCARD"}, {",3,,,,"}},
        {"a line without colon is its own value", {"EMAILbox", "END:VCARD"}, {",,,EMAILbox,,"}},
        {"a comma or a double quote in a value is quoted",
         {"ORG:A,B", "FN:say \"hi\"", "EMAIL:plain", "END:VCARD"},
         {"\"say \"\"hi\"\"\",,,plain,\"A,B\","}},
        {"quoted-printable soft breaks and 3.0 folds join lines",
         {"ORG;ENCODING=QUOTED-PRINTABLE:Ac=", "me=3D1", "ADR:;;Long Ro", " ad;City", "FN:x", "\tyz", "END:VCARD"},
         {"xyz,,,,Acme=1,Long RoadCity"}},
        {"a soft break never swallows the end of a card",
         {"FN;QUOTED-PRINTABLE:A=", "END:VCARD", "FN:B", "END:VCARD"},
         {"A,,,,,", "B,,,,,"}},
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
    EXPECT_EQ(lines(contactTable(listOf({"N:A;B", "ORG:X,Y", "ADR;QUOTED-PRINTABLE:a=09b=0D=0Ac", "END:VCARD"}), "txt",
                                 host)),
              (std::vector<std::string>{"Name\tCell\tTel\tEmail\tOrg\tAddress", "AB\t\t\t\tX,Y\ta b  c"}));
    EXPECT_EQ(host.eventCalls, 4);
}

// What phones write: Android's vCard 2.1 (quoted-printable UTF-8, soft line
// breaks), the iPhone's vCard 3.0 (groups, lower-case TYPE lists, folded
// lines), a vCard 4.0 card and a card declared as GBK.
TEST(ContactTable, PhoneExports)
{
    const std::vector<std::string> vcard{
        "BEGIN:VCARD",
        "VERSION:2.1",
        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0;=E4=B8=89;;;",
        "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=BC=A0=E4=B8=89",
        "TEL;CELL;PREF:138-0013-8000",
        "TEL;WORK:010-6666-8888",
        "EMAIL;HOME:zhangsan@example.cn",
        "ORG;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=E5=8C=97=E4=BA=AC=E5=85=AC=E5=8F=B8",
        "ADR;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;=E9=95=BF=E5=AE=89=E8=A1=97=31=E5=8F=B7;=E5=8C=97=",
        "=E4=BA=AC;;100000;=E4=B8=AD=E5=9B=BD",
        "END:VCARD",
        "BEGIN:VCARD",
        "VERSION:3.0",
        "N:Li;Si;;;",
        "FN:Li Si",
        "ORG:Acme\\, Inc.;",
        "item1.EMAIL;type=INTERNET;type=pref:li.si@example.com",
        "TEL;type=CELL;type=VOICE;type=pref:+86 139 0000 0000",
        "TEL;type=WORK;type=VOICE:+86 10 1234",
        "item2.ADR;type=HOME;type=pref:;;1 Long Ro",
        " ad\\nBack Gate;Beijing;;;China",
        "END:VCARD",
        "BEGIN:VCARD",
        "VERSION:4.0",
        "FN:Wang \"Boss\" Wu",
        "TEL;VALUE=uri;TYPE=\"voice,cell\":tel:+86-137",
        "ADR;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;Line1=0D=0ALine2;;;;",
        "END:VCARD",
        "BEGIN:VCARD",
        "FN;CHARSET=GBK:" + testing::gbk("王五"),
        "TEL;TYPE=CELL:150",
        "END:VCARD",
    };
    testing::RecordingHost host;
    EXPECT_EQ(lines(contactTable(listOf(vcard), "csv", host)),
              (std::vector<std::string>{
                  "Name,Cell,Tel,Email,Org,Address",
                  testing::gbk("张三,138-0013-8000,010-6666-8888,zhangsan@example.cn,北京公司,长安街1号北京100000中国"),
                  "LiSi,+86 139 0000 0000,+86 10 1234,li.si@example.com,\"Acme, Inc.\",\"1 Long Road\r\nBack "
                  "GateBeijingChina\"",
                  "\"Wang \"\"Boss\"\" Wu\",+86-137,,,,\"Line1\r\nLine2\"",
                  testing::gbk("王五") + ",150,,,,",
              }));
}

} // namespace
} // namespace qv
