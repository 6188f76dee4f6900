#include "undo/content_hash.h"

#include <algorithm>
#include <cstring>

namespace qv {
namespace {

constexpr std::uint64_t prime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t prime2 = 0xC2B2AE3D27D4EB4FULL;
constexpr std::uint64_t prime3 = 0x165667B19E3779F9ULL;
constexpr std::uint64_t prime4 = 0x85EBCA77C2B2AE63ULL;
constexpr std::uint64_t prime5 = 0x27D4EB2F165667C5ULL;

constexpr std::uint64_t rotateLeft(std::uint64_t x, int r)
{
    return (x << r) | (x >> (64 - r));
}

// Little-endian reads, whatever the machine's byte order.
std::uint64_t read64(const unsigned char* p)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

std::uint32_t read32(const unsigned char* p)
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint64_t round(std::uint64_t lane, std::uint64_t input)
{
    lane += input * prime2;
    return rotateLeft(lane, 31) * prime1;
}

std::uint64_t mergeRound(std::uint64_t hash, std::uint64_t lane)
{
    hash ^= round(0, lane);
    return hash * prime1 + prime4;
}

void consumeStripe(std::uint64_t* lanes, const unsigned char* p)
{
    lanes[0] = round(lanes[0], read64(p));
    lanes[1] = round(lanes[1], read64(p + 8));
    lanes[2] = round(lanes[2], read64(p + 16));
    lanes[3] = round(lanes[3], read64(p + 24));
}

} // namespace

ContentHash::ContentHash(std::uint64_t seed)
    : lanes_{seed + prime1 + prime2, seed + prime2, seed, seed - prime1}, seed_(seed)
{ }

void ContentHash::update(std::string_view bytes)
{
    auto p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    total_ += left;
    if (pendingSize_ > 0) {
        const std::size_t take = std::min(left, sizeof pending_ - pendingSize_);
        std::memcpy(pending_ + pendingSize_, p, take);
        pendingSize_ += take;
        p += take;
        left -= take;
        if (pendingSize_ < sizeof pending_) return;
        consumeStripe(lanes_, pending_);
        pendingSize_ = 0;
    }
    for (; left >= 32; p += 32, left -= 32) consumeStripe(lanes_, p);
    std::memcpy(pending_, p, left);
    pendingSize_ = left;
}

std::uint64_t ContentHash::digest() const
{
    std::uint64_t h;
    if (total_ >= 32) {
        h = rotateLeft(lanes_[0], 1) + rotateLeft(lanes_[1], 7) + rotateLeft(lanes_[2], 12) + rotateLeft(lanes_[3], 18);
        for (const std::uint64_t lane : lanes_) h = mergeRound(h, lane);
    } else {
        h = seed_ + prime5;
    }
    h += total_;
    const unsigned char* p = pending_;
    std::size_t left = pendingSize_;
    for (; left >= 8; p += 8, left -= 8) {
        h ^= round(0, read64(p));
        h = rotateLeft(h, 27) * prime1 + prime4;
    }
    if (left >= 4) {
        h ^= read32(p) * prime1;
        h = rotateLeft(h, 23) * prime2 + prime3;
        p += 4;
        left -= 4;
    }
    for (; left > 0; ++p, --left) {
        h ^= *p * prime5;
        h = rotateLeft(h, 11) * prime1;
    }
    h ^= h >> 33;
    h *= prime2;
    h ^= h >> 29;
    h *= prime3;
    h ^= h >> 32;
    return h;
}

std::uint64_t hashBytes(std::string_view bytes, std::uint64_t seed)
{
    ContentHash hash(seed);
    hash.update(bytes);
    return hash.digest();
}

} // namespace qv
