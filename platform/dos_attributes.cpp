#include "platform/dos_attributes.h"

#include "text/integer_field.h"

#include <limits>

namespace qv {
namespace {

constexpr std::int64_t ntTicksAtUnixEpoch = 116444736000000000; // 1601 to 1970 in 100 ns

// Bounds-checked little-endian reads from the blob.
class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) { }

    bool has(std::size_t offset, std::size_t length) const
    {
        return offset <= data_.size() && length <= data_.size() - offset;
    }
    std::uint32_t u16(std::size_t offset) const { return byte(offset) | byte(offset + 1) << 8; }
    std::uint32_t u32(std::size_t offset) const { return u16(offset) | u16(offset + 2) << 16; }
    std::uint64_t u64(std::size_t offset) const
    {
        return static_cast<std::uint64_t>(u32(offset)) | static_cast<std::uint64_t>(u32(offset + 4)) << 32;
    }

private:
    std::uint32_t byte(std::size_t offset) const { return static_cast<unsigned char>(data_[offset]); }
    std::string_view data_;
};

std::size_t alignUp(std::size_t offset, std::size_t to)
{
    return (offset + to - 1) / to * to;
}

// The binary form after the NUL-terminated text ending at `textEnd`.
std::optional<DosAttributes> decodeBinary(std::string_view blob, std::size_t textEnd)
{
    const Reader in(blob);
    const std::size_t head = alignUp(textEnd + 1, 2);
    if (!in.has(head, 4)) return std::nullopt;
    const std::uint32_t version = in.u16(head);
    if (in.u16(head + 2) != version) return std::nullopt;
    const std::size_t body = alignUp(head + 4, 4);

    DosAttributes out;
    auto optionalTime = [](std::uint64_t t) { return t ? std::optional<std::uint64_t>(t) : std::nullopt; };
    switch (version) {
    case 0xFFFF:
        if (!in.has(body, 4)) return std::nullopt;
        out.attributes = in.u32(body);
        return out;
    case 1:
        if (!in.has(body, 40)) return std::nullopt;
        out.attributes = in.u32(body);
        out.createTime = optionalTime(in.u64(body + 24));
        return out;
    case 2:
        if (!in.has(body, 36)) return std::nullopt;
        out.attributes = in.u32(body + 4);
        out.createTime = optionalTime(in.u64(body + 28));
        return out;
    case 3:
    case 4:
    case 5: {
        const std::size_t needed = version == 3 ? 44 : version == 4 ? 24 : 16;
        const std::size_t createAt = version == 3 ? 28 : version == 4 ? 16 : 8;
        if (!in.has(body, needed)) return std::nullopt;
        const std::uint32_t valid = in.u32(body);
        if (valid & dosValidAttrib) out.attributes = in.u32(body + 4);
        if (valid & dosValidCreateTime) out.createTime = optionalTime(in.u64(body + createAt));
        return out;
    }
    default: return std::nullopt;
    }
}

// "0x" and one to eight hex digits, up to a NUL or the end; whatever follows
// a NUL is left alone (it is a binary part that did not decode).
std::optional<DosAttributes> decodeHexText(std::string_view blob)
{
    if (blob.size() < 3 || blob[0] != '0' || (blob[1] != 'x' && blob[1] != 'X')) return std::nullopt;
    std::uint32_t value = 0;
    std::size_t i = 2;
    for (; i < blob.size() && blob[i] != '\0'; ++i) {
        const int digit = text::digitValue(blob[i], 16);
        if (digit < 0 || i - 2 >= 8) return std::nullopt;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    if (i == 2) return std::nullopt;
    DosAttributes out;
    out.attributes = value;
    return out;
}

void putLittleEndian(std::string& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
}

} // namespace

std::optional<DosAttributes> decodeDosAttributes(std::string_view blob)
{
    // A blob with a NUL is the binary form, possibly behind "0x..." text that
    // older Samba wrote for old readers; the binary part knows more (the
    // creation time), so it wins when it decodes.
    if (const std::size_t nul = blob.find('\0'); nul != std::string_view::npos)
        if (auto binary = decodeBinary(blob, nul)) return binary;
    return decodeHexText(blob);
}

std::string encodeDosAttributes(std::uint32_t attributes, std::optional<std::uint64_t> createTime)
{
    std::string out;
    out.reserve(24);
    out.push_back('\0');        // empty text
    out.push_back('\0');        // align to 2
    putLittleEndian(out, 5, 2); // version
    putLittleEndian(out, 5, 2); // union discriminant
    putLittleEndian(out, 0, 2); // align to 4
    putLittleEndian(out, dosValidAttrib | (createTime ? dosValidCreateTime : 0), 4);
    putLittleEndian(out, attributes, 4);
    putLittleEndian(out, createTime.value_or(0), 8);
    return out;
}

std::optional<FileTime> ntTimeToFileTime(std::uint64_t ntTime)
{
    if (ntTime == 0 || ntTime > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    const std::int64_t ticks = static_cast<std::int64_t>(ntTime) - ntTicksAtUnixEpoch;
    constexpr std::int64_t limit = std::numeric_limits<std::int64_t>::max() / 100;
    if (ticks > limit || ticks < -limit) return std::nullopt;
    return FileTime(std::chrono::nanoseconds(ticks * 100));
}

std::uint64_t fileTimeToNtTime(FileTime time)
{
    const std::int64_t ns = time.time_since_epoch().count();
    std::int64_t ticks = ns / 100;
    if (ns % 100 < 0) --ticks; // round toward the past
    return static_cast<std::uint64_t>(ticks + ntTicksAtUnixEpoch);
}

} // namespace qv
