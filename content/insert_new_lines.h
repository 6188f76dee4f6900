#pragma once
// Insert new lines: a block of new content added to every marked file, once
// after a given line, or before every line that matches an interval or a
// keyword list. The content may hold escape sequences (\t, \r, \n), the file
// variables ${Fullname}, ${Filename}, ${CreateDate}, ${ModifyDate} and the
// line functions ${LineStr(n)}, ${LineStr2(s)} and ${LineRandStr()}, which
// take a line of the file itself; a content template may rework the block.

#include "content/content_job.h"

#include <string>

namespace qv {

enum class NewLineMode {
    AtLineNumber, // rbNewLineNo: after line edtNewLineNo (0: before the first)
    Interval,     // rbIntLine: before every line matching the interval rule
    Keywords,     // rbKeyLine: before every line holding one of the keywords
};

// The page's controls as typed (code page 936).
struct InsertNewLinesParams {
    std::string mmoNewCont;       // new content, memo lines joined by CR LF, not trimmed
    std::string edtNewLineFormat; // content template, trimmed when used
    NewLineMode mode = NewLineMode::AtLineNumber;
    std::string edtNewLineNo = "0";
    std::string edtInsPers = "2"; // interval N
    std::string edtInsNum = "1";  // position M
    std::string edtLineKey;       // keyword list
};

// Checks in order: "要插入的文字内容不能为空,请输入后再试!" (focus mmoNewCont),
// "插入行关键字为空,请输入后再试!" (keyword mode, empty box; focus
// edtLineKey), and in interval mode an N below 1 (focus edtInsPers). The line
// number, N, M and the ${LineStr(n)} argument are read when the run starts.
// A line function that finds no line, ${LineRandStr()} on a file without
// lines included, leaves its token in the text; a file without lines gets the
// block as its only line at a line number, and nothing in the other modes.
// The random line comes from the workspace's generator, one pick per file.
ContentJob insertNewLinesJob(const InsertNewLinesParams& params, RandomIndex& random);

OperationResult btnInsLineClick(const InsertNewLinesParams& params, Workspace& ws, Host& host, FileSystem& fs);

} // namespace qv
