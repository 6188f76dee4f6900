#include "fileops/rename.h"

#include "fileops/change_plan.h"
#include "fileops/new_name.h"
#include "fileops/rename_plan.h"
#include "fileops/rename_template.h"
#include "operation/host.h"
#include "platform/code_page.h"
#include "platform/disk_name.h"
#include "template/evaluator.h"
#include "template/file_variables.h"
#include "text/bytes.h"
#include "text/run_error.h"

#include <memory>
#include <optional>

namespace qv {
namespace {

enum class Mode { Template, NameList, ReplacementList };

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
std::string templateForRow(const std::string& templ, const FileList& files, std::size_t row, std::string_view base,
                           std::optional<SerialNumber>& serial)
{
    FileVariables variables;
    variables.filename = std::string(base);
    variables.createdate = dateOfCell(files.cell(row, CreatedColumn));
    variables.modifydate = dateOfCell(files.cell(row, ModifiedColumn));
    const std::string_view folder = files.folder(row);
    const auto slash = folder.rfind('/');
    variables.lastdir = std::string(slash == std::string_view::npos ? std::string_view{} : folder.substr(slash + 1));
    std::string out = substituteFileVariables(templ, variables);
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

// Converting names to UTF-8 may keep every name's text: an empty template
// or ${filename} alone is then a plain conversion.
bool keepsNames(const RenameParams& params)
{
    const std::string templ = text::lower(text::trim(params.edtNewFilename));
    return params.chkNameToUtf8 && (templ.empty() || templ == "${filename}");
}

} // namespace

bool renameReadsDates(const RenameParams& params)
{
    const std::string_view typed = params.edtNewFilename;
    return text::findIgnoreCase("${createdate}", typed) != 0 || text::findIgnoreCase("${modifydate}", typed) != 0;
}

std::optional<Refusal> checkRenameTemplate(const RenameParams& params)
{
    const std::string templ = text::lower(text::trim(params.edtNewFilename));
    const auto refusal = [](const char* utf8) { return Refusal{CodePage::gbk().fromUtf8(utf8), "edtNewFilename"}; };
    if (!keepsNames(params)) {
        if (templ.empty() || templ == "${filename}") return refusal("请输入新文件名格式！");
        if (text::find("${", templ) == 0) return refusal("新文件名格式不正确，请在左边选择变量或函数！");
    }
    if (templ.find('"') != std::string::npos) return refusal("新文件名格式中不需要使用双引号！");
    return std::nullopt;
}

NewNameOf renameNames(const RenameParams& params, const FileList& files, const FileSystem& fs)
{
    if (keepsNames(params))
        return [&files](std::size_t row, std::int64_t) -> std::optional<std::string> {
            return std::string(files.name(row));
        };
    const std::string typed(text::trim(params.edtNewFilename));
    auto templ = std::make_shared<const std::string>(text::lower(typed));
    const std::optional<SerialNumber> serial = findSerialNumber(*templ);

    Mode mode = Mode::Template;
    auto lines = std::make_shared<text::LineList>();
    if (const auto name = listFileName(*templ, typed, "${file(")) {
        mode = Mode::NameList;
        if (auto read = readListFile(*name, params, fs)) *lines = std::move(*read);
    }
    if (const auto name = listFileName(*templ, typed, "${file2(")) {
        mode = Mode::ReplacementList;
        if (auto read = readListFile(*name, params, fs)) *lines = std::move(*read);
    }

    return [&files, mode, templ, lines, serial](std::size_t row, std::int64_t ordinal) -> std::optional<std::string> {
        const std::string name(files.name(row));
        const std::string_view base = baseNameOf(name);
        std::string rowTemplate;
        if (mode == Mode::Template) {
            // The counter moves on for every marked row, whether its rename
            // then succeeds or not.
            std::optional<SerialNumber> rowSerial = serial;
            if (rowSerial) rowSerial->next += ordinal;
            rowTemplate = templateForRow(*templ, files, row, base, rowSerial);
        } else {
            // The line goes with the grid row, marked rows before it or not.
            if (row - 1 >= lines->size()) return std::nullopt;
            rowTemplate = listTemplateForRow(mode, text::trim((*lines)[row - 1]), base);
        }
        return EvaluateTemplate(base, rowTemplate) + std::string(typeOf(name));
    };
}

OperationResult btnFilenameClick(const RenameParams& params, Workspace& ws, Host& host, FileSystem& fs)
{
    if (!selectionCheck(ws, host)) return {};
    if (auto refusal = checkRenameTemplate(params)) return refuse(host, std::move(*refusal));
    ws.counters.stChangeCount = 0;
    const RenamePlan plan =
        planRenames(ws.files, renameNames(params, ws.files, fs), fs, params.chains, params.chkNameToUtf8);
    return applyRenamePlan(plan, ws, host, fs);
}

} // namespace qv
