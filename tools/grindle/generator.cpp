#include "generator.h"

#include "text_writer.h"

#include <cstring>

namespace grindle {

namespace {

// Own generator rather than <random>'s distributions, whose results differ between libraries.
class SplitMix {
public:
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number from 0 to n - 1.
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(next() % n); }
    bool chance(std::uint32_t percent) { return below(100) < percent; }

private:
    std::uint64_t state_ = 0x4B45535452454CULL;
};

template <std::size_t N> const char *pick(SplitMix &rng, const char *const (&words)[N]) {
    return words[rng.below(static_cast<std::uint32_t>(N))];
}

const char *const kIntKeys[] = {"health", "armor", "cost",    "build_time", "sight",   "damage",
                                "ammo",   "tier",  "name_id", "desc_id",    "priority"};
const char *const kFloatKeys[] = {"speed", "range", "cooldown", "scale", "accuracy", "turn_rate", "radius"};
const char *const kBoolKeys[] = {"visible", "selectable", "can_fly", "is_hero", "enabled"};
const char *const kStringKeys[] = {"name", "model", "icon", "sound", "note"};
const char *const kTableKeys[] = {"weapons", "primary", "stats",    "upgrades",
                                  "effects", "ai",      "requires", "anim"};
const char *const kKinds[] = {"unit", "weapon", "building", "effect"};
const char *const kWords[] = {"Marine",  "Gate",      "Tower",    "Scout",
                              "Caf\xE9", "M\xFCller", "Rail gun", "Depot"};

Value randomFloat(SplitMix &rng) {
    if (rng.chance(3)) {
        // Now and then any finite bit pattern, so that exact float text gets exercised.
        std::uint32_t bits = static_cast<std::uint32_t>(rng.next());
        if ((bits & 0x7F800000u) == 0x7F800000u)
            bits &= 0xBFFFFFFFu;
        float f = 0.0f;
        std::memcpy(&f, &bits, sizeof f);
        return Value::makeFloat(f);
    }
    return Value::makeFloat(static_cast<float>(rng.below(4000)) / 100.0f);
}

Value randomString(SplitMix &rng, const std::string &key, std::uint64_t serial) {
    const std::string n = std::to_string(serial % 1000);
    if (key == "model" || key == "icon" || key == "sound")
        return Value::makeString("art/" + n + "." + key.substr(0, 3));
    if (key == "note")
        return Value::makeString(rng.chance(50) ? "Armor: heavy" : "Say \"go\"; now");
    return Value::makeString(std::string(pick(rng, kWords)) + " " + n);
}

Value randomScalar(SplitMix &rng, std::string &key, std::uint64_t serial) {
    switch (rng.below(10)) {
    case 0:
    case 1:
        key = pick(rng, kFloatKeys);
        return randomFloat(rng);
    case 2:
        key = pick(rng, kBoolKeys);
        return Value::makeBool(rng.chance(50));
    case 3:
        key = pick(rng, kStringKeys);
        return randomString(rng, key, serial);
    default:
        key = pick(rng, kIntKeys);
        if (key == "name_id" || key == "desc_id")
            return Value::makeInt(static_cast<std::int32_t>(12000 + rng.below(100)));
        return Value::makeInt(static_cast<std::int32_t>(rng.below(1000)) - (rng.chance(10) ? 500 : 0));
    }
}

class Generator {
public:
    explicit Generator(std::uint64_t lines) : budget_(lines > 3 ? lines - 3 : 0) {}

    Value run() {
        Value root = Value::makeTable();
        for (std::uint64_t serial = 1; budget_ >= 2; ++serial) {
            Member entry{std::string(pick(rng_, kKinds)) + "_" + std::to_string(serial), Value::makeTable()};
            budget_ -= 2;
            fill(entry.value, 1, 2 + static_cast<int>(rng_.below(4)), serial);
            root.members.push_back(std::move(entry));
        }
        return root;
    }

private:
    // `depth` is that of `table` itself; tables go down to `maxDepth`, at least one on every level.
    void fill(Value &table, int depth, int maxDepth, std::uint64_t serial) {
        const std::uint32_t count = 3 + rng_.below(6);
        const std::uint32_t nested = rng_.below(count);
        for (std::uint32_t i = 0; i < count && budget_ > 0; ++i) {
            const bool deeper = depth < maxDepth && (i == nested || rng_.chance(10));
            if (deeper && budget_ >= 2) {
                budget_ -= 2;
                Member sub{pick(rng_, kTableKeys), Value::makeTable()};
                fill(sub.value, depth + 1, maxDepth, serial);
                table.members.push_back(std::move(sub));
            } else {
                --budget_;
                Member m;
                m.value = randomScalar(rng_, m.key, serial);
                table.members.push_back(std::move(m));
            }
        }
    }

    SplitMix rng_;
    std::uint64_t budget_;
};

} // namespace

Value generateTree(std::uint64_t lines) {
    return Generator(lines).run();
}

std::string generateText(std::uint64_t lines, std::string_view rbfName) {
    return writeText(generateTree(lines), rbfName);
}

} // namespace grindle
