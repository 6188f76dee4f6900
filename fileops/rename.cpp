#include "fileops/rename.h"

#include "fileops/change_plan.h"
#include "fileops/new_name.h"
#include "fileops/rename_template.h"
#include "operation/host.h"
#include "platform/code_page.h"
#include "platform/disk_name.h"
#include "template/evaluator.h"
#include "template/file_variables.h"
#include "text/bytes.h"
#include "text/run_error.h"

#include <optional>

namespace qv {
namespace {

enum class Mode { Template, NameList, ReplacementList };

OperationResult refuseTemplate(Host& host, const char* utf8)
{
    return refuse(host, {CodePage::gbk().fromUtf8(utf8), "edtNewFilename"});
}

// The lines of the file at `path`, or nothing when no file is there (a
// folder counts as none, as for Windows). A FIFO or device exists but is
// refused unread: reading it could block the run for ever.
std::optional<text::LineList> readIfFile(const FileSystem& fs, const std::string& path)
{
    // The name typed is text, written on disk in UTF-8; one without an exact
    // UTF-8 form names no file.
    const std::optional<std::string> disk = utf8DiskForm(path);
    if (!disk) return std::nullopt;
    const auto entry = fs.stat(*disk);
    if (!entry || (entry->attributes & attr::directory)) return std::nullopt;
    if (entry->attributes & attr::device) throw RunError(formatMessage("Cannot open file %s", path));
    return fs.readLineList(*disk);
}

// The lines of the list file `name`: looked for relative to the current
// directory, then in the program's folder; nothing when found in neither.
std::optional<text::LineList> readListFile(const std::string& name, const RenameParams& params, const FileSystem& fs)
{
    if (auto lines = readIfFile(fs, name)) return lines;
    if (params.programFolder.empty()) return std::nullopt;
    return readIfFile(fs, joinPath(params.programFolder, name));
}

// The template of one row in template mode: the operation's own variables
// replaced, every occurrence, letter case ignored.
std::string templateForRow(const std::string& templ, const Workspace& ws, std::size_t row, std::string_view base,
                           std::optional<SerialNumber>& serial)
{
    FileVariables variables;
    variables.filename = std::string(base);
    variables.createdate = dateOfCell(ws.files.cell(row, CreatedColumn));
    variables.modifydate = dateOfCell(ws.files.cell(row, ModifiedColumn));
    const std::string_view folder = ws.files.folder(row);
    const auto slash = folder.rfind('/');
    variables.lastdir = std::string(slash == std::string_view::npos ? std::string_view{} : folder.substr(slash + 1));
    std::string out = substituteFileVariables(templ, variables);
    // The counter moves on for every row that reaches this point, whether
    // its rename then succeeds or not.
    if (serial) out = serial->replaceIn(out);
    return out;
}

// The template of one row in the two list modes.
std::string listTemplateForRow(Mode mode, std::string_view line, std::string_view base)
{
    if (line.empty()) return std::string(base);
    if (mode == Mode::NameList) return std::string(line);
    const auto replacement = splitReplacementLine(line);
    if (!replacement) return std::string(base);
    return text::replaceAll(base, replacement->oldText, replacement->newText);
}

} // namespace

bool renameReadsDates(const RenameParams& params)
{
    const std::string_view typed = params.edtNewFilename;
    return text::findIgnoreCase("${createdate}", typed) != 0 || text::findIgnoreCase("${modifydate}", typed) != 0;
}

OperationResult btnFilenameClick(const RenameParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return {};
    const std::string_view typed = text::trim(params.edtNewFilename);
    const std::string templ = text::lower(typed);
    // Converting names to UTF-8 may keep every name's text: an empty template
    // or ${filename} alone is then a plain conversion.
    const bool keepsNames = params.chkNameToUtf8 && (templ.empty() || templ == "${filename}");
    if (!keepsNames) {
        if (templ.empty() || templ == "${filename}") return refuseTemplate(host, "请输入新文件名格式！");
        if (text::find("${", templ) == 0) return refuseTemplate(host, "新文件名格式不正确，请在左边选择变量或函数！");
    }
    if (templ.find('"') != std::string::npos) return refuseTemplate(host, "新文件名格式中不需要使用双引号！");

    ws.counters.stChangeCount = 0;
    std::optional<SerialNumber> serial = findSerialNumber(templ);

    Mode mode = Mode::Template;
    text::LineList lines;
    if (const auto name = listFileName(templ, typed, "${file(")) {
        mode = Mode::NameList;
        if (auto read = readListFile(*name, params, fs)) lines = std::move(*read);
    }
    if (const auto name = listFileName(templ, typed, "${file2(")) {
        mode = Mode::ReplacementList;
        if (auto read = readListFile(*name, params, fs)) lines = std::move(*read);
    }

    ChangePlan plan;
    for (std::size_t row = 1; row <= ws.files.lastRow() && !ws.files.isEmpty(); ++row) {
        if (!ws.files.isMarked(row)) continue;
        const std::string name(ws.files.name(row));
        const std::string_view base = baseNameOf(name);
        const std::string_view ext = typeOf(name);

        if (keepsNames) {
            if (auto change = planRename(ws, row, name, true)) plan.push_back(std::move(*change));
            continue;
        }
        std::string rowTemplate;
        if (mode == Mode::Template) {
            rowTemplate = templateForRow(templ, ws, row, base, serial);
        } else {
            // The line goes with the grid row, marked rows before it or not.
            if (row - 1 >= lines.size()) break;
            rowTemplate = listTemplateForRow(mode, text::trim(lines[row - 1]), base);
        }

        const std::string newName = EvaluateTemplate(base, rowTemplate) + std::string(ext);
        if (auto change = planRename(ws, row, newName, params.chkNameToUtf8)) plan.push_back(std::move(*change));
    }
    return applyChangePlan(plan, ws, host, [&](const PlannedChange& change) { return applyRename(change, ws, fs); },
                           {});
}

} // namespace qv
