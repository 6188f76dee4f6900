// Every example of the usage file, run through the command line: what the
// file promises is what the program gives.
//
// An example is a piece of a line holding " → " (blanks on both sides);
// the pieces of one line are separated by "；". A piece reads
// "TEMPLATE：INPUT → OUTPUT", optionally after "例：": the template is what
// stands before the piece's first "：" (up to two blanks in a row, where the
// function list's explanation begins), the input what follows the last "："
// before the arrow, and the output what follows the arrow up to "（", "。" or
// the end of the piece. Under "二、" the operation is the one of the last
// numbered item ("17. ..."); elsewhere the example is a template evaluation.

#include "cli/dispatcher.h"
#include "support/gbk.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>

namespace qv::cli {
namespace {

struct Example {
    int line = 0;
    int operation = 0; // the numbered item under "二、"; 0 for a template evaluation
    std::string templateText, input, output;
};

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::vector<std::string_view> split(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> pieces;
    for (std::size_t at = 0;;) {
        const std::size_t next = text.find(separator, at);
        pieces.push_back(text.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
        if (next == std::string_view::npos) return pieces;
        at = next + separator.size();
    }
}

std::optional<Example> examplePiece(std::string_view piece)
{
    const std::string_view arrow = " → ", colon = "：";
    const std::size_t at = piece.find(arrow);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view before = piece.substr(0, at);
    if (const std::size_t start = before.find_first_not_of(' '); start != std::string_view::npos)
        before.remove_prefix(start);
    if (before.starts_with("例：")) before.remove_prefix(std::string_view("例：").size());
    const std::size_t firstColon = before.find(colon);
    if (firstColon == std::string_view::npos) return std::nullopt;
    Example example;
    example.templateText = trimmed(before.substr(0, std::min(before.find("  "), firstColon)));
    example.input = trimmed(before.substr(before.rfind(colon) + colon.size()));
    std::string_view after = piece.substr(at + arrow.size());
    for (const std::string_view end : {"（", "。"}) after = after.substr(0, after.find(end));
    example.output = trimmed(after);
    return example;
}

std::vector<Example> usageExamples()
{
    std::ifstream in(QV_USAGE_FILE);
    std::vector<Example> examples;
    std::string line;
    bool operations = false;
    int operation = 0;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.starts_with("二、")) operations = true;
        if (line.starts_with("三、")) operations = false;
        const std::string item = trimmed(line);
        if (operations && !item.empty() && std::isdigit(static_cast<unsigned char>(item[0])) &&
            item.find(". ") != std::string::npos && item.find(". ") <= 2)
            operation = std::stoi(item);
        for (const std::string_view piece : split(line, "；")) {
            if (std::optional<Example> example = examplePiece(piece)) {
                example->line = number;
                example->operation = operations ? operation : 0;
                examples.push_back(std::move(*example));
            }
        }
    }
    return examples;
}

class UsageExamples : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* base = std::getenv("QV_TEST_TMP");
        folder_ = std::filesystem::path(base ? base : ::testing::TempDir()) / "cli-usage";
    }
    // A fresh folder holding one file, `name`, with `bytes`; its path.
    std::string fileIn(int line, const std::string& name, const std::string& bytes)
    {
        current_ = folder_ / std::to_string(line);
        std::filesystem::remove_all(current_);
        std::filesystem::create_directories(current_);
        std::ofstream(current_ / name, std::ios::binary) << bytes;
        return (current_ / name).string();
    }
    std::string read(const std::string& name) const
    {
        std::ifstream in(current_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static int run(const std::vector<std::string>& args, std::string& out)
    {
        std::ostringstream outStream, errStream;
        const int status = runCli(args, outStream, errStream);
        out = outStream.str() + errStream.str();
        return status;
    }

    std::filesystem::path folder_, current_;
};

TEST_F(UsageExamples, EveryExampleGivesWhatTheUsageFileSays)
{
    const std::vector<Example> examples = usageExamples();
    ASSERT_GE(examples.size(), 30u) << "the examples of " << QV_USAGE_FILE << " were not found";
    for (const Example& e : examples) {
        SCOPED_TRACE("usage file line " + std::to_string(e.line) + ": " + e.templateText + "：" + e.input + " → " +
                     e.output);
        std::string said;
        // The commands that turn a file's lines into its .qv output, by item.
        const std::map<int, std::vector<std::string>> lineCommands{
            {7, {"cut", "--template"}},
            {8, {"insert", "--template"}},
            {9, {"pattern", "--pattern"}},
            {17, {"replace", "--template"}},
        };
        if (e.operation == 0) {
            EXPECT_EQ(run({"eval", e.templateText, e.input}, said), 0) << said;
            EXPECT_EQ(said, e.output + "\n");
        } else if (e.operation == 1 || e.operation == 2) {
            const std::string file = fileIn(e.line, e.input, "");
            EXPECT_EQ(run({e.operation == 1 ? "ext" : "rename", "--template", e.templateText, file}, said), 0) << said;
            EXPECT_TRUE(std::filesystem::exists(current_ / e.output)) << said;
        } else if (const auto command = lineCommands.find(e.operation); command != lineCommands.end()) {
            const std::string file = fileIn(e.line, "a.txt", testing::gbk(e.input) + "\r\n");
            EXPECT_EQ(run({command->second[0], command->second[1], e.templateText, file}, said), 0) << said;
            EXPECT_EQ(read("a.qv.txt"), testing::gbk(e.output) + "\r\n") << said;
        } else {
            ADD_FAILURE() << "no command runs the examples of item " << e.operation;
        }
    }
}

} // namespace
} // namespace qv::cli
