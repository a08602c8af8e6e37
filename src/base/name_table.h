// Element and attribute names looked up in a fixed table of a format's names.
//
// Loaders meet the same few dozen names hundreds of thousands of times in a
// large file; a chain of string comparisons per name was a tenth of the
// movie loader's time. A NameTable hashes the name once and checks the one
// slot it lands in (open addressing, at most half full), so a lookup costs
// one pass over the name whatever the size of the table. Built at compile
// time from a list of names and the value each stands for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace xmo {

template <typename Value>
struct NameEntry {
    std::string_view name;
    Value value;
};

template <typename Value, std::size_t N>
class NameTable {
public:
    constexpr NameTable(const NameEntry<Value> (&entries)[N], Value unknown) : unknown_(unknown) {
        for (std::size_t i = 0; i < N; ++i) {
            const std::uint32_t hash = hashOf(entries[i].name);
            std::size_t slot = hash & kMask;
            while (slots_[slot].used) slot = (slot + 1) & kMask;
            slots_[slot] = Slot{true, hash, entries[i].name, entries[i].value};
        }
    }

    // The value of name, or the table's unknown value.
    Value find(const char* name) const {
        std::uint32_t hash = kHashBasis;
        std::size_t length = 0;
        for (; name[length] != '\0'; ++length) hash = step(hash, name[length]);
        for (std::size_t slot = hash & kMask; slots_[slot].used; slot = (slot + 1) & kMask) {
            const Slot& s = slots_[slot];
            if (s.hash == hash && s.name.size() == length && std::memcmp(s.name.data(), name, length) == 0)
                return s.value;
        }
        return unknown_;
    }

private:
    // FNV-1a, 32 bits.
    static constexpr std::uint32_t kHashBasis = 2166136261u;
    static constexpr std::uint32_t step(std::uint32_t hash, char c) {
        return (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    static constexpr std::uint32_t hashOf(std::string_view name) {
        std::uint32_t hash = kHashBasis;
        for (char c : name) hash = step(hash, c);
        return hash;
    }
    static constexpr std::size_t capacity() {
        std::size_t c = 4;
        while (c < 2 * N) c *= 2;
        return c;
    }
    static constexpr std::size_t kMask = capacity() - 1;

    struct Slot {
        bool used = false;
        std::uint32_t hash = 0;
        std::string_view name;
        Value value{};
    };
    Slot slots_[capacity()] = {};
    Value unknown_;
};

}  // namespace xmo
