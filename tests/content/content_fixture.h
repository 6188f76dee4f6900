#pragma once
// Shared by the content operation tests: files put into a folder and added to
// a workspace as marked entries, the operation run through `fs`, and the
// bytes of output files read back. ContentFixture works in a fresh temporary
// folder on the real disk; MemoryContentFixture in the in-memory file
// system, for the tests that need nothing of a real disk.

#include "operation/operation.h"
#include "operation/workspace.h"
#include "platform/posix_file_system.h"
#include "support/gbk.h"
#include "support/memory_file_system.h"
#include "support/recording_host.h"
#include "support/run_error_message.h"
#include "support/test_folder.h"
#include "text/run_error.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>

namespace qv::testing {

template <typename Files> class ContentFixtureOn : public ::testing::Test {
protected:
    void SetUp() override
    {
        if constexpr (std::is_same_v<Files, MemoryFileSystem>) {
            folder_ = "/files";
            fs.addFolder(folder_);
        } else {
            folder_ = freshTestFolder("content").string();
        }
        ws.random = RandomIndex(7);
    }
    void TearDown() override
    {
        if (!std::is_same_v<Files, MemoryFileSystem> && !HasFailure()) removeTestFolder(folder_);
    }

    // Writes `bytes` to `name` in the test folder and returns its path.
    std::string writeFile(const std::string& name, const std::string& bytes)
    {
        fs.writeFile(path(name), bytes);
        return path(name);
    }

    // Writes the file and appends it to the list; marked unless told not to.
    void addFile(const std::string& name, const std::string& bytes, bool marked = true)
    {
        writeFile(name, bytes);
        addEntry(name, marked);
    }
    // Appends an entry for `name` in the test folder without writing it.
    void addEntry(const std::string& name, bool marked = true, std::int64_t created = 0, std::int64_t modified = 0)
    {
        ws.files.append({name, folder_, 0, created, modified});
        ws.files.setMark(ws.files.lastRow(), marked);
        ++ws.counters.stSrcCount;
    }

    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    bool exists(const std::string& name) const { return fs.exists(path(name)); }
    std::string read(const std::string& name) const
    {
        try {
            return fs.readFile(path(name));
        } catch (const RunError&) {
            ADD_FAILURE() << name << " is missing";
            return {};
        }
    }

    // The field a refused run puts the focus on; "(not refused)" when it ran.
    static std::string refusalFocus(const OperationResult& outcome)
    {
        return outcome.refusal ? outcome.refusal->focus : "(not refused)";
    }

    // Runs `click` with no message shown yet and checks that it is refused
    // with `message` alone and leaves no "a.qv.txt", the output of the
    // "a.txt" the refusal tests list. Returns the refused outcome.
    OperationResult expectRefusal(const std::function<OperationResult()>& click, const std::string& message)
    {
        host.messages.clear();
        const OperationResult outcome = click();
        EXPECT_EQ(outcome.status, OperationResult::Status::Refused) << message;
        EXPECT_EQ(messageTexts(), std::vector<std::string>{message});
        EXPECT_FALSE(exists("a.qv.txt")) << message;
        return outcome;
    }

    // Checks that `click` ends the run with the run error `message` before
    // it writes "a.qv.txt".
    void expectRunError(const std::function<void()>& click, const std::string& message)
    {
        EXPECT_EQ(runErrorMessage(click), message);
        EXPECT_FALSE(exists("a.qv.txt")) << message;
    }

    // The recorded message texts (UTF-8), in order.
    std::vector<std::string> messageTexts() const { return host.messageTexts(); }

    Workspace ws;
    RecordingHost host;
    Files fs;

private:
    std::string folder_;
};

using ContentFixture = ContentFixtureOn<PosixFileSystem>;
using MemoryContentFixture = ContentFixtureOn<MemoryFileSystem>;

} // namespace qv::testing

// Names the two fixtures of one operation's tests: Suite works on the real
// disk, SuiteInMemory in the in-memory file system.
#define CONTENT_TEST_SUITES(Suite)                                                                                     \
    using Suite = ::qv::testing::ContentFixture;                                                                       \
    using Suite##InMemory = ::qv::testing::MemoryContentFixture
