#include "text/output_path.h"

#include <gtest/gtest.h>

#include <string>

namespace qv::text {
namespace {

TEST(OutputPath, InsertsBeforeTheLastDotOfTheFileName)
{
    struct Case {
        const char* source;
        const char* expected;
    } const cases[] = {
        {"/text/a.txt", "/text/a.qv.txt"},
        {"/x/a.b.txt", "/x/a.b.qv.txt"},
        {"a.b.txt", "a.b.qv.txt"},
        {"a.txt", "a.qv.txt"},
        {"a.qv.txt", "a.qv.qv.txt"},
        {"a.", "a.qv."},
        {"dir.d/README", "dir.d/README.qv"},
        {"/x.y/z/README", "/x.y/z/README.qv"},
        {"README", "README.qv"},
        {".bashrc", ".qv.bashrc"},
        {"/home/u/.bashrc", "/home/u/.qv.bashrc"},
        {"/home/u/.config.old", "/home/u/.config.qv.old"},
        {"", ".qv"},
        {"/x/\xD6\xD0\xCE\xC4.txt", "/x/\xD6\xD0\xCE\xC4.qv.txt"},
        {"./a", "./a.qv"},
        {"../b.c/d", "../b.c/d.qv"},
    };
    for (const auto& c : cases) EXPECT_EQ(outputPath(c.source), c.expected) << c.source;
}

} // namespace
} // namespace qv::text
