#include "undo/journal.h"

#include "platform/code_page.h"
#include "undo/content_hash.h"

#include <algorithm>
#include <chrono>
#include <type_traits>

namespace qv {
namespace {

enum Kind : std::uint8_t {
    kindRunBegin = 1,
    kindRename = 2,
    kindTimes = 3,
    kindAttributes = 4,
    kindOutput = 5,
    kindUndoMarker = 6,
    kindRunEnd = 7,
};

// What a rename record tells of the file it moves. Journals written before
// file numbers were kept hold size and time alone.
enum IdentityForm : std::uint8_t {
    identityNone = 0,
    identitySizeAndTime = 1,
    identityWithFileNumber = 2,
};

constexpr std::size_t frameSize = 8; // length and checksum
constexpr std::int64_t nanosPerSecond = 1'000'000'000;

std::uint32_t checksum(std::string_view lengthBytes, std::string_view body)
{
    ContentHash hash;
    hash.update(lengthBytes);
    hash.update(body);
    return static_cast<std::uint32_t>(hash.digest());
}

// ---- encoding ----

void putU32(std::string& out, std::uint32_t v)
{
    const char bytes[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                           static_cast<char>(v >> 24)};
    out.append(bytes, 4);
}

void putU64(std::string& out, std::uint64_t v)
{
    putU32(out, static_cast<std::uint32_t>(v));
    putU32(out, static_cast<std::uint32_t>(v >> 32));
}

void putText(std::string& out, std::string_view text)
{
    putU32(out, static_cast<std::uint32_t>(text.size()));
    out.append(text);
}

void putTime(std::string& out, FileTime time)
{
    const std::int64_t ns = time.time_since_epoch().count();
    std::int64_t seconds = ns / nanosPerSecond;
    std::int64_t nanos = ns % nanosPerSecond;
    if (nanos < 0) {
        --seconds;
        nanos += nanosPerSecond;
    }
    putU64(out, static_cast<std::uint64_t>(seconds));
    putU32(out, static_cast<std::uint32_t>(nanos));
}

void putFlag(std::string& out, bool flag)
{
    out.push_back(flag ? 1 : 0);
}

// A flag, then the value where there is one.
template <typename T, typename Put> void putOptional(std::string& out, const std::optional<T>& value, Put put)
{
    putFlag(out, value.has_value());
    if (value) put(out, *value);
}

void setU32(std::string& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>(v >> (8 * i));
}

void putRename(std::string& out, std::string_view oldPath, std::string_view newPath,
               const std::optional<FileIdentity>& identity)
{
    // The new name mostly shares its folder with the old one: only the
    // length of the common start and the rest are stored.
    const auto shared = static_cast<std::size_t>(
        std::mismatch(oldPath.begin(), oldPath.end(), newPath.begin(), newPath.end()).first - oldPath.begin());
    putText(out, oldPath);
    putU32(out, static_cast<std::uint32_t>(shared));
    putText(out, newPath.substr(shared));
    out.push_back(static_cast<char>(identity ? identityWithFileNumber : identityNone));
    if (identity) {
        putU64(out, identity->size);
        putTime(out, identity->lastWrite);
        putU64(out, identity->device);
        putU64(out, identity->fileNumber);
    }
}

// Writes the frame around the body the callback appends.
template <typename Body> void frame(std::string& out, std::uint8_t kind, std::string_view runId, Body&& body)
{
    const std::size_t start = out.size();
    out.append(frameSize, '\0');
    out.push_back(static_cast<char>(kind));
    putText(out, runId);
    body();
    setU32(out, start, static_cast<std::uint32_t>(out.size() - start - frameSize));
    const std::string_view written(out);
    setU32(out, start + 4, checksum(written.substr(start, 4), written.substr(start + frameSize)));
}

struct Encoder {
    std::string& out;

    void operator()(const RunBeginRecord& r) const
    {
        putText(out, r.operation);
        putTime(out, r.started);
        putU32(out, static_cast<std::uint32_t>(r.utcOffsetSeconds));
        putU32(out, static_cast<std::uint32_t>(r.parameters.size()));
        for (const RunParameter& p : r.parameters) {
            putText(out, p.key);
            putText(out, p.value);
        }
    }
    void operator()(const RenameRecord& r) const { putRename(out, r.oldPath, r.newPath, r.identity); }
    void operator()(const TimesRecord& r) const
    {
        putText(out, r.path);
        putTime(out, r.lastWrite);
        putTime(out, r.lastAccess);
        putOptional(out, r.creation, putTime);
        putOptional(out, r.dosAttrib, putText);
    }
    void operator()(const AttributesRecord& r) const
    {
        putText(out, r.path);
        putU32(out, r.attributes);
        putOptional(out, r.dosAttrib, putText);
        putOptional(out, r.permissions, putU32);
    }
    void operator()(const OutputRecord& r) const
    {
        putText(out, r.path);
        putU64(out, r.size);
        putTime(out, r.modified);
        putU64(out, r.hash);
        putFlag(out, r.replacedExisting);
    }
    void operator()(const UndoMarkerRecord& r) const { putText(out, r.undoneRunId); }
    void operator()(const RunEndRecord&) const { }
};

template <typename T> constexpr std::uint8_t kindOf()
{
    if constexpr (std::is_same_v<T, RunBeginRecord>) return kindRunBegin;
    if constexpr (std::is_same_v<T, RenameRecord>) return kindRename;
    if constexpr (std::is_same_v<T, TimesRecord>) return kindTimes;
    if constexpr (std::is_same_v<T, AttributesRecord>) return kindAttributes;
    if constexpr (std::is_same_v<T, OutputRecord>) return kindOutput;
    if constexpr (std::is_same_v<T, UndoMarkerRecord>) return kindUndoMarker;
    if constexpr (std::is_same_v<T, RunEndRecord>) return kindRunEnd;
}

template <typename Variant> void appendAny(std::string& out, std::string_view runId, const Variant& v)
{
    std::visit(
        [&](const auto& record) {
            using T = std::decay_t<decltype(record)>;
            frame(out, kindOf<T>(), runId, [&] { Encoder{out}(record); });
        },
        v);
}

// ---- decoding ----

// Reads a body; any read past its end, or a value out of range, marks it
// bad. Without `keepTexts` every text is checked but read as empty, so that
// a scan of the whole journal allocates nothing per record.
class BodyReader {
public:
    BodyReader(std::string_view body, bool keepTexts) : rest_(body), keepTexts_(keepTexts) { }
    bool good() const { return good_; }
    bool finished() const { return good_ && rest_.empty(); }

    std::uint8_t u8()
    {
        if (!need(1)) return 0;
        const auto v = static_cast<std::uint8_t>(rest_[0]);
        rest_.remove_prefix(1);
        return v;
    }
    std::uint32_t u32()
    {
        if (!need(4)) return 0;
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(rest_[i]);
        rest_.remove_prefix(4);
        return v;
    }
    std::uint64_t u64()
    {
        const std::uint64_t low = u32();
        return low | static_cast<std::uint64_t>(u32()) << 32;
    }
    bool flag()
    {
        const std::uint8_t v = u8();
        if (v > 1) good_ = false;
        return v == 1;
    }
    std::string_view textView(std::uint32_t maxLength = maxRecordBody)
    {
        const std::uint32_t length = u32();
        if (length > maxLength || !need(length)) {
            good_ = false;
            return {};
        }
        const std::string_view v = rest_.substr(0, length);
        rest_.remove_prefix(length);
        return v;
    }
    // A path or run id: not empty, no NUL byte.
    std::string_view nameView(std::uint32_t maxLength)
    {
        const std::string_view v = textView(maxLength);
        if (v.empty() || v.find('\0') != std::string_view::npos) good_ = false;
        return v;
    }
    std::string text() { return kept(textView()); }
    std::string name(std::uint32_t maxLength) { return kept(nameView(maxLength)); }
    FileTime time()
    {
        const auto seconds = static_cast<std::int64_t>(u64());
        const std::uint32_t nanos = u32();
        // seconds * 10^9 + nanos, without overflow on the way to the
        // earliest FileTime, whose seconds alone overflow once multiplied.
        std::int64_t whole = 0;
        std::int64_t ns = 0;
        const bool negative = seconds < 0 && nanos > 0;
        if (nanos >= nanosPerSecond || __builtin_mul_overflow(seconds + negative, nanosPerSecond, &whole) ||
            __builtin_add_overflow(whole, static_cast<std::int64_t>(nanos) - (negative ? nanosPerSecond : 0), &ns)) {
            good_ = false;
            return {};
        }
        return FileTime(std::chrono::nanoseconds(ns));
    }
    // How many more items of at least `itemSize` bytes can follow.
    std::size_t roomFor(std::size_t itemSize) const { return rest_.size() / itemSize; }

    // `v` as a string when texts are kept, else empty.
    std::string kept(std::string_view v) const { return keepTexts_ ? std::string(v) : std::string(); }

private:
    bool need(std::size_t n)
    {
        if (rest_.size() < n) good_ = false;
        return good_;
    }

    std::string_view rest_;
    bool keepTexts_;
    bool good_ = true;
};

std::optional<RecordBody> decodeBody(std::uint8_t kind, BodyReader& in)
{
    switch (kind) {
    case kindRunBegin: {
        RunBeginRecord r;
        r.operation = in.text();
        r.started = in.time();
        r.utcOffsetSeconds = static_cast<std::int32_t>(in.u32());
        const std::uint32_t count = in.u32();
        // Each parameter takes at least its two lengths.
        if (count > in.roomFor(8)) return std::nullopt;
        r.parameters.reserve(count);
        for (std::uint32_t i = 0; i < count && in.good(); ++i) {
            RunParameter p;
            p.key = in.text();
            p.value = in.text();
            r.parameters.push_back(std::move(p));
        }
        return r;
    }
    case kindRename: {
        RenameRecord r;
        const std::string_view oldPath = in.nameView(maxPathLength);
        const std::uint32_t shared = in.u32();
        const std::string_view rest = in.textView(maxPathLength);
        // Only the form the writer makes: the longest common start.
        if (shared > oldPath.size() || shared + rest.size() == 0 || shared + rest.size() > maxPathLength ||
            rest.find('\0') != std::string_view::npos ||
            (shared < oldPath.size() && !rest.empty() && oldPath[shared] == rest[0]))
            return std::nullopt;
        r.oldPath = in.kept(oldPath);
        r.newPath = in.kept(oldPath.substr(0, shared));
        r.newPath += in.kept(rest);
        switch (in.u8()) {
        case identityNone: break;
        case identitySizeAndTime: r.identity = FileIdentity{in.u64(), in.time()}; break;
        case identityWithFileNumber: r.identity = FileIdentity{in.u64(), in.time(), in.u64(), in.u64()}; break;
        default: return std::nullopt;
        }
        return r;
    }
    case kindTimes: {
        TimesRecord r;
        r.path = in.name(maxPathLength);
        r.lastWrite = in.time();
        r.lastAccess = in.time();
        if (in.flag()) r.creation = in.time();
        // Journals written before the raw DOS attributes were kept end here.
        if (!in.finished() && in.flag()) r.dosAttrib = in.text();
        return r;
    }
    case kindAttributes: {
        AttributesRecord r;
        r.path = in.name(maxPathLength);
        r.attributes = in.u32();
        if (in.flag()) r.dosAttrib = in.text();
        if (in.flag()) r.permissions = in.u32();
        return r;
    }
    case kindOutput: {
        OutputRecord r;
        r.path = in.name(maxPathLength);
        r.size = in.u64();
        r.modified = in.time();
        r.hash = in.u64();
        r.replacedExisting = in.flag();
        return r;
    }
    case kindUndoMarker: return UndoMarkerRecord{in.name(maxRunIdLength)};
    case kindRunEnd: return RunEndRecord{};
    default: return std::nullopt;
    }
}

std::uint32_t lengthAt(std::string_view bytes, std::size_t at)
{
    BodyReader in(bytes.substr(at, 4), false);
    return in.u32();
}

// Checks the journal record by record up to its first damage, calling
// onRecord(offset, size, runId, body) for each valid one; with `keepTexts`
// the body's texts are read, otherwise they are only checked.
template <typename OnRecord>
void walkJournal(std::string_view bytes, bool keepTexts, std::optional<JournalDamage>& damage, std::uint64_t& validSize,
                 OnRecord&& onRecord)
{
    validSize = 0;
    if (bytes.empty()) return;
    if (bytes.size() < journalMagic.size() || !bytes.starts_with(journalMagic)) {
        // A file cut short while its magic was written is a torn journal;
        // anything else is not ours.
        const bool torn = bytes.size() < journalMagic.size() && journalMagic.starts_with(bytes);
        damage = JournalDamage{0, torn ? JournalDamageKind::Truncated : JournalDamageKind::ForeignFile};
        return;
    }
    std::size_t at = journalMagic.size();
    const auto damaged = [&](JournalDamageKind kind) {
        damage = JournalDamage{at, kind};
        validSize = at;
    };
    while (at < bytes.size()) {
        if (bytes.size() - at < frameSize) return damaged(JournalDamageKind::Truncated);
        const std::uint32_t length = lengthAt(bytes, at);
        // The smallest body is a kind byte and a run id of one byte.
        if (length < 6 || length > maxRecordBody) return damaged(JournalDamageKind::BadLength);
        if (bytes.size() - at - frameSize < length) return damaged(JournalDamageKind::Truncated);
        const std::string_view body = bytes.substr(at + frameSize, length);
        if (checksum(bytes.substr(at, 4), body) != lengthAt(bytes, at + 4))
            return damaged(JournalDamageKind::BadChecksum);
        BodyReader in(body, keepTexts);
        const std::uint8_t kind = in.u8();
        const std::string_view runId = in.nameView(maxRunIdLength);
        std::optional<RecordBody> decoded = in.good() ? decodeBody(kind, in) : std::nullopt;
        if (!decoded || !in.finished()) return damaged(JournalDamageKind::BadRecord);
        const auto size = static_cast<std::uint32_t>(frameSize + length);
        onRecord(at, size, runId, std::move(*decoded));
        at += size;
    }
    validSize = at;
}

} // namespace

const std::string& changedPath(const FileRecord& change)
{
    return std::visit(
        [](const auto& r) -> const std::string& {
            if constexpr (std::is_same_v<std::decay_t<decltype(r)>, RenameRecord>)
                return r.newPath;
            else
                return r.path;
        },
        change);
}

void appendRecord(std::string& out, std::string_view runId, const RecordBody& body)
{
    appendAny(out, runId, body);
}

void appendRecord(std::string& out, std::string_view runId, const FileRecord& change)
{
    appendAny(out, runId, change);
}

void appendRename(std::string& out, std::string_view runId, std::string_view oldPath, std::string_view newPath,
                  std::optional<FileIdentity> identity)
{
    frame(out, kindRename, runId, [&] { putRename(out, oldPath, newPath, identity); });
}

FileIdentity identityOf(const FileEntry& entry)
{
    return {entry.size, entry.lastWriteTime, entry.device, entry.fileNumber};
}

bool isSameFile(const FileIdentity& recorded, const FileIdentity& found)
{
    const bool numbered = recorded.fileNumber != 0 && found.fileNumber != 0;
    return recorded.size == found.size && recorded.lastWrite == found.lastWrite &&
           (!numbered || (recorded.device == found.device && recorded.fileNumber == found.fileNumber));
}

JournalContents readJournal(std::string_view bytes)
{
    JournalContents result;
    walkJournal(bytes, true, result.damage, result.validSize,
                [&](std::uint64_t offset, std::uint32_t size, std::string_view runId, RecordBody&& body) {
                    result.records.push_back({std::string(runId), std::move(body), offset, size});
                });
    return result;
}

JournalIndex indexJournal(std::string_view bytes)
{
    JournalIndex result;
    walkJournal(bytes, false, result.damage, result.validSize,
                [&](std::uint64_t offset, std::uint32_t size, std::string_view runId, RecordBody&& body) {
                    result.entries.push_back({offset, size, runId, std::holds_alternative<RunBeginRecord>(body)});
                });
    return result;
}

std::string journalDamageMessage(const JournalDamage& damage)
{
    const char* what = "";
    switch (damage.kind) {
    case JournalDamageKind::ForeignFile: return CodePage::gbk().fromUtf8("撤销记录文件不是本程序的格式，已忽略");
    case JournalDamageKind::Truncated: what = "的记录不完整"; break;
    case JournalDamageKind::BadLength: what = "的记录长度无效"; break;
    case JournalDamageKind::BadChecksum: what = "的记录校验和不符"; break;
    case JournalDamageKind::BadRecord: what = "的记录内容无效"; break;
    }
    return CodePage::gbk().fromUtf8("撤销记录文件已损坏（第 " + std::to_string(damage.offset) + " 字节起" + what +
                                    "），之后的内容已忽略");
}

} // namespace qv
