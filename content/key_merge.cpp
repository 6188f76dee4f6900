#include "content/key_merge.h"

#include "content/content_job.h"
#include "text/bytes.h"
#include "text/output_path.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace qv {

std::string_view keyOf(std::string_view line)
{
    // "=" (0x3D) is never the second byte of a GBK character, so a plain
    // byte search finds the real first "=".
    const std::size_t equals = line.find('=');
    return equals == std::string_view::npos ? std::string_view() : line.substr(0, equals);
}

KeyMergeResult mergeKeys(const text::LineList& source, const text::LineList& target, Host& host)
{
    // The first source value of every key, and for every key the target lines
    // that carry it in order; `next` is the first of them still present.
    std::unordered_map<std::string, std::string_view> firstValue;
    for (const std::string_view line : source) {
        const std::string_view key = keyOf(line);
        if (!key.empty()) firstValue.emplace(text::lower(key), line.substr(key.size() + 1));
    }
    struct TargetLines {
        std::vector<std::size_t> rows;
        std::size_t next = 0;
    };
    std::unordered_map<std::string, TargetLines> targetLines;
    for (std::size_t row = 0; row < target.size(); ++row) {
        const std::string_view key = keyOf(target[row]);
        if (!key.empty()) targetLines[text::lower(key)].rows.push_back(row);
    }

    enum class Fate : unsigned char { Keep, Replace, Delete };
    std::vector<Fate> fate(target.size(), Fate::Keep);
    std::vector<std::string> replacement(target.size());
    KeyMergeResult result;
    for (const std::string_view line : source) {
        host.processEvents();
        const std::string_view key = keyOf(line);
        if (key.empty()) continue;
        const std::string lowered = text::lower(key);
        const auto found = targetLines.find(lowered);
        if (found == targetLines.end() || found->second.next == found->second.rows.size()) continue;
        const std::size_t row = found->second.rows[found->second.next];
        ++result.records;
        const std::string_view value = firstValue.at(lowered);
        if (value.empty()) {
            fate[row] = Fate::Delete;
            ++found->second.next;
        } else {
            fate[row] = Fate::Replace;
            replacement[row].assign(key).append("=").append(value);
        }
    }

    result.lines.reserve(target.size(), target.byteCount());
    for (std::size_t row = 0; row < target.size(); ++row) {
        if (fate[row] == Fate::Keep)
            result.lines.append(target[row]);
        else if (fate[row] == Fate::Replace)
            result.lines.append(replacement[row]);
    }
    return result;
}

OperationResult btnSynClick(const KeyMergeParams&, Workspace& ws, Host& host, FileSystem& fs)
{
    OperationResult outcome;
    if (!selectionCheck(ws, host)) return outcome;
    const TwoFilePick pick = pickTwoFiles(ws.files);
    if (!pick.found) return refuse(host, {programText("请选择需要按关键字进行合并的两个文件！"), ""});
    const text::LineList source = fs.readLineList(ws.files.fullPath(pick.first));
    const std::string targetPath = ws.files.fullPath(pick.second);
    const text::LineList target = fs.readLineList(targetPath);
    const KeyMergeResult merged = mergeKeys(source, target, host);
    fs.writeLineList(outputDiskPath(targetPath), merged.lines);

    outcome.status = OperationResult::Status::Done;
    outcome.processed = merged.records;
    host.showMessage(MessageKind::Information, closingMessage(merged.records, CountUnit::Records));
    return outcome;
}

} // namespace qv
