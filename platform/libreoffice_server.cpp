#include "platform/libreoffice_server.h"

#include "platform/child_process.h"
#include "platform/file_io.h"
#include "text/run_error.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

namespace qv {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t filesPerStart = 100;
constexpr const char* commaSeparatedImport = "Text - txt - csv (StarCalc):44,34,61,1";

// The input filter a source is opened with: a filter forced for its content,
// "" to let LibreOffice detect the type, or nothing when it is no workbook.
// Forcing the binary filter on OLE2 files keeps any other file from being
// taken as text, which LibreOffice's detection falls back to for anything.
std::optional<std::string> inputFilterFor(std::string_view bytes, SheetSource from)
{
    if (from == SheetSource::CommaSeparatedText) return std::string(commaSeparatedImport);
    const auto startsWith = [&](std::string_view magic) { return bytes.substr(0, magic.size()) == magic; };
    if (startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")) return std::string("MS Excel 97");
    // Zipped (xlsx, ods) and XML (2003 XML spreadsheet, flat ods) workbooks
    // are told apart reliably by LibreOffice's own detection.
    if (startsWith("PK\x03\x04") || startsWith("<?xml")) return std::string();
    return std::nullopt;
}

// The staged copy's extension: a hint for type detection.
std::string stagedExtension(std::string_view sourcePath, SheetSource from)
{
    if (from == SheetSource::CommaSeparatedText) return "csv";
    const std::size_t slash = sourcePath.rfind('/');
    const std::string_view name = sourcePath.substr(slash == std::string_view::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return "xls";
    std::string extension;
    for (const char c : name.substr(dot + 1)) {
        if (!std::isalnum(static_cast<unsigned char>(c)) || extension.size() == 5) return "xls";
        extension.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    return extension.empty() ? "xls" : extension;
}

// The settings of the throw-away profile. A workbook is untrusted input: it
// must not make LibreOffice fetch anything. BlockUntrustedRefererLinks keeps
// every document outside the (empty) trusted locations from loading linked
// images and other linked content, remote or local; Calc's link updating is
// set to never (1) for external cell and sheet links; macros never run.
constexpr std::string_view profileSettings =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
    "<item oor:path=\"/org.openoffice.Office.Common/Security/Scripting\"><prop oor:name=\"BlockUntrustedRefererLinks\" "
    "oor:op=\"fuse\"><value>true</value></prop></item>\n"
    "<item oor:path=\"/org.openoffice.Office.Common/Security/Scripting\"><prop oor:name=\"DisableMacrosExecution\" "
    "oor:op=\"fuse\"><value>true</value></prop></item>\n"
    "<item oor:path=\"/org.openoffice.Office.Common/Security/Scripting\"><prop oor:name=\"MacroSecurityLevel\" "
    "oor:op=\"fuse\"><value>3</value></prop></item>\n"
    "<item oor:path=\"/org.openoffice.Office.Calc/Content/Update\"><prop oor:name=\"Link\" "
    "oor:op=\"fuse\"><value>1</value></prop></item>\n"
    "</oor:items>\n";

void writeProfileSettings(const fs::path& profile)
{
    fs::create_directories(profile / "user");
    const fs::path path = profile / "user" / "registrymodifications.xcu";
    std::ofstream out(path, std::ios::binary);
    out.write(profileSettings.data(), static_cast<std::streamsize>(profileSettings.size()));
    if (!out.flush()) throw RunError(formatMessage("Cannot create file %s", path.string()));
}

std::string fileUrl(const fs::path& path)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (const char c : path.string()) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            url.push_back(c);
        } else {
            url.push_back('%');
            url.push_back(hex[byte >> 4]);
            url.push_back(hex[byte & 15]);
        }
    }
    return url;
}

// A private folder, removed with everything in it when this object ends.
class WorkFolder {
public:
    WorkFolder()
    {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = (base && *base ? std::string(base) : std::string("/tmp")) + "/qorvane-sheets-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) throw RunError(formatMessage("Cannot create file %s", pattern));
        path_ = pattern;
    }
    ~WorkFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::optional<std::string> readIfPresent(const fs::path& path)
{
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct StagedFile {
    std::size_t index; // into the sources and results
    fs::path path;
};

} // namespace

std::string libreOfficeExportFilter(SheetTarget target)
{
    // Text filter options: cell delimiter, text delimiter ("), character
    // set, first line, column formats, language, quote all text cells,
    // detect special numbers, save cells as shown.
    switch (target) {
    case SheetTarget::Workbook97: return "xls:MS Excel 97";
    case SheetTarget::CommaSeparatedText: return "csv:Text - txt - csv (StarCalc):44,34,61,1,,0,false,true,true";
    case SheetTarget::TabSeparatedText: return "txt:Text - txt - csv (StarCalc):9,34,61,1,,0,false,true,true";
    case SheetTarget::Html: return "htm:HTML (StarCalc)";
    case SheetTarget::CommaSeparatedUtf8: return "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false";
    }
    return {};
}

LibreOfficeServer::LibreOfficeServer() : LibreOfficeServer("soffice", Limits{}) { }

LibreOfficeServer::LibreOfficeServer(std::string program, Limits limits) : program_(std::move(program)), limits_(limits)
{ }

namespace {

class Run {
public:
    Run(const std::string& program, const LibreOfficeServer::Limits& limits, SheetTarget target,
        const std::function<bool()>& keepWaiting, std::vector<SheetResult>& results)
        : program_(program), limits_(limits), filter_(libreOfficeExportFilter(target)),
          outputExtension_(filter_.substr(0, filter_.find(':'))), keepWaiting_(keepWaiting), results_(results)
    {
        fs::create_directory(folder_.path() / "in");
        writeProfileSettings(folder_.path() / "profile");
    }

    // Copies the source into the work folder; nothing when it is unreadable.
    std::optional<StagedFile> stage(std::size_t index, const std::string& source, SheetSource from,
                                    std::string& inputFilter)
    {
        std::string bytes;
        try {
            bytes = readFileBytes(source);
        } catch (const RunError&) {
            results_[index].status = SheetResult::Status::Unreadable;
            return std::nullopt;
        }
        const std::optional<std::string> filter = inputFilterFor(bytes, from);
        if (!filter) {
            results_[index].status = SheetResult::Status::NotASpreadsheet;
            return std::nullopt;
        }
        inputFilter = *filter;
        StagedFile staged{index,
                          folder_.path() / "in" / ("f" + std::to_string(index) + "." + stagedExtension(source, from))};
        std::ofstream out(staged.path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) throw RunError(formatMessage("Cannot create file %s", staged.path.string()));
        return staged;
    }

    // Converts `files` (all opened with `inputFilter`) in one start, and on
    // a time-out each file again alone.
    void convertBatch(const std::vector<StagedFile>& files, const std::string& inputFilter)
    {
        const fs::path outFolder = folder_.path() / ("out" + std::to_string(++starts_));
        fs::create_directory(outFolder);
        std::vector<std::string> argv{program_,          "-env:UserInstallation=" + fileUrl(folder_.path() / "profile"),
                                      "--headless",      "--norestore",
                                      "--nolockcheck",   "--convert-to",
                                      filter_,           "--outdir",
                                      outFolder.string()};
        if (!inputFilter.empty()) argv.push_back("--infilter=" + inputFilter);
        for (const StagedFile& file : files) argv.push_back(file.path.string());

        const auto limit = limits_.perStart + limits_.perFile * static_cast<long>(files.size());
        const ChildRun run = runChild(argv, environment(), limit, keepWaiting_);
        if (run.status == ChildRun::Status::Stopped) {
            stopped_ = true;
            for (const StagedFile& file : files) results_[file.index].status = SheetResult::Status::Stopped;
            return;
        }
        if (run.status == ChildRun::Status::TimedOut) {
            if (files.size() == 1) {
                results_[files[0].index].status = SheetResult::Status::TimedOut;
                return;
            }
            for (const StagedFile& file : files) convertBatchUnlessStopped({file}, inputFilter);
            return;
        }
        bool anyOutput = false;
        for (const StagedFile& file : files) {
            std::optional<std::string> bytes =
                readIfPresent(outFolder / (file.path.stem().string() + "." + outputExtension_));
            SheetResult& result = results_[file.index];
            if (bytes) {
                result = {SheetResult::Status::Converted, std::move(*bytes)};
                anyOutput = true;
            } else {
                result.status = SheetResult::Status::NotASpreadsheet;
            }
        }
        // soffice also exits 0 when files fail to load, but a start that
        // failed before the first file (missing libraries, broken install)
        // ends with an error and has written nothing.
        if (run.status == ChildRun::Status::CouldNotStart || (run.exitCode != 0 && !anyOutput))
            for (const StagedFile& file : files) results_[file.index].status = SheetResult::Status::ServerDidNotStart;
    }

    // convertBatch, or every file Stopped once a stop has ended a start.
    void convertBatchUnlessStopped(const std::vector<StagedFile>& files, const std::string& inputFilter)
    {
        if (!stopped_) return convertBatch(files, inputFilter);
        for (const StagedFile& file : files) results_[file.index].status = SheetResult::Status::Stopped;
    }

private:
    // LibreOffice wants a home folder for its caches; a CI job may have none.
    std::vector<std::string> environment() const
    {
        const char* home = std::getenv("HOME");
        if (home && *home) return {};
        return {"HOME=" + folder_.path().string()};
    }

    const std::string& program_;
    const LibreOfficeServer::Limits& limits_;
    const std::string filter_;
    const std::string outputExtension_;
    const std::function<bool()>& keepWaiting_;
    std::vector<SheetResult>& results_;
    WorkFolder folder_;
    int starts_ = 0;
    bool stopped_ = false;
};

} // namespace

std::vector<SheetResult> LibreOfficeServer::convert(const std::vector<std::string>& sources, SheetSource from,
                                                    SheetTarget to, const std::function<bool()>& keepWaiting)
{
    std::vector<SheetResult> results(sources.size());
    if (sources.empty()) return results;
    Run run(program_, limits_, to, keepWaiting, results);
    std::map<std::string, std::vector<StagedFile>> byInputFilter;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        std::string inputFilter;
        if (std::optional<StagedFile> staged = run.stage(i, sources[i], from, inputFilter))
            byInputFilter[inputFilter].push_back(std::move(*staged));
    }
    for (const auto& [inputFilter, files] : byInputFilter) {
        for (std::size_t first = 0; first < files.size(); first += filesPerStart) {
            const auto begin = files.begin() + static_cast<std::ptrdiff_t>(first);
            const auto end = files.begin() + static_cast<std::ptrdiff_t>(std::min(files.size(), first + filesPerStart));
            run.convertBatchUnlessStopped(std::vector<StagedFile>(begin, end), inputFilter);
        }
    }
    return results;
}

} // namespace qv
