// Hostile input: every prefix of the sample mine, and many random mutations
// of it, under the sanitizers. A run either fails with a read error or
// writes a well-formed text; it never crashes or reads out of bounds.
#include "converter/tests/SampleMine.h"
#include "converter/tests/TestSupport.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

namespace halvard::test {
namespace {

// Record kinds in the order the text has them.
const std::vector<std::string> KindOrder = {"99", "0",  "4",  "2",  "1", "40", "50",
                                            "60", "65", "66", "67", "3", "68"};

// "" when the text is one record per CR LF line with the kinds in order.
std::string ShapeError(const std::string& text) {
    if (!text.ends_with("\r\n")) return "no final line end";
    size_t order = 0;
    size_t lineCount = 0;
    for (size_t start = 0; start < text.size(); ++lineCount) {
        const size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        if (line.find_first_of("\r\n") != std::string::npos) return "stray line end: " + line;
        const std::string kind = line.substr(0, line.find('|'));
        auto it = std::find(KindOrder.begin() + static_cast<long>(order), KindOrder.end(), kind);
        if (it == KindOrder.end()) return "kind out of order: " + line;
        order = static_cast<size_t>(it - KindOrder.begin());
    }
    if (lineCount < 2 || !text.starts_with("99|\"1.0\"\r\n0|")) return "no version or mine line";
    return "";
}

struct TRecordExtent {
    uint16_t tag;
    size_t start; // of the tag header
    size_t end;   // past the body
};

// The sample writes every body at its Size, so its records can be walked.
std::vector<TRecordExtent> Records(const std::string& file) {
    std::vector<TRecordExtent> records;
    auto byte = [&](size_t i) { return static_cast<uint8_t>(file[i]); };
    for (size_t pos = 16; pos + 10 <= file.size();) {
        const uint16_t tag = static_cast<uint16_t>(byte(pos) | byte(pos + 1) << 8);
        const uint32_t size = byte(pos + 2) | byte(pos + 3) << 8 | byte(pos + 4) << 16 |
                              static_cast<uint32_t>(byte(pos + 5)) << 24;
        records.push_back({tag, pos, pos + 10 + size});
        pos += 10 + size;
    }
    return records;
}

TEST(Robustness, EveryPrefixOfTheSample) {
    const std::string file = BuildSampleMine();
    const std::vector<TRecordExtent> records = Records(file);
    ASSERT_EQ(records.back().end, file.size());
    for (size_t length = 0; length <= file.size(); ++length) {
        const TConversion c = Convert(std::string_view(file).substr(0, length));
        bool expectOk = true;
        for (const TRecordExtent& r : records)
            if (length > r.start + 10 && length < r.end) expectOk = false;
        ASSERT_EQ(c.ok, expectOk) << "prefix " << length << ": " << c.console;
        if (c.ok) {
            ASSERT_EQ(ShapeError(c.text), "") << "prefix " << length;
        }
    }
}

std::string Mutate(std::string file, std::mt19937& random) {
    auto pick = [&](size_t n) { return n == 0 ? 0 : static_cast<size_t>(random() % n); };
    static const uint32_t sizes[] = {0,          1,          9,          10,         366,
                                     0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x0000FFFF, 0x00010000};
    const int steps = 1 + static_cast<int>(random() % 4);
    for (int s = 0; s < steps; ++s) {
        switch (random() % 7) {
        case 0: // flip bits
            if (!file.empty()) file[pick(file.size())] ^= static_cast<char>(1 << (random() % 8));
            break;
        case 1: // any byte
            if (!file.empty()) file[pick(file.size())] = static_cast<char>(random());
            break;
        case 2: { // a size-like value
            if (file.size() < 4) break;
            const size_t at = pick(file.size() - 3);
            const uint32_t v = sizes[pick(std::size(sizes))];
            for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(v >> (8 * i));
            break;
        }
        case 3: { // a tag number
            if (file.size() < 2) break;
            const size_t at = pick(file.size() - 1);
            file[at] = static_cast<char>(random() % 60);
            file[at + 1] = 0;
            break;
        }
        case 4: // insert bytes
            file.insert(pick(file.size() + 1),
                        std::string(1 + pick(12), static_cast<char>(random())));
            break;
        case 5: { // delete bytes
            const size_t at = pick(file.size());
            file.erase(at, 1 + pick(40));
            break;
        }
        default: // cut the tail
            file.resize(pick(file.size() + 1));
            break;
        }
    }
    return file;
}

TEST(Robustness, RandomMutationsOfTheSample) {
    int runs = 200000;
    if (const char* env = std::getenv("HALVARD_MUTATION_RUNS")) runs = std::atoi(env);
    const std::string sample = BuildSampleMine();
    std::mt19937 random(20240611);
    int failedReads = 0;
    for (int i = 0; i < runs; ++i) {
        const std::string file = Mutate(sample, random);
        const TConversion c = Convert(file, i % 16 == 0);
        if (c.ok) {
            ASSERT_EQ(ShapeError(c.text), "") << "run " << i;
        } else {
            ++failedReads;
            ASSERT_NE(c.console.find("Error reading file ("), std::string::npos) << "run " << i;
        }
    }
    // Both outcomes were met, so the mutations reach the checks.
    EXPECT_GT(failedReads, 0);
    EXPECT_LT(failedReads, runs);
}

} // namespace
} // namespace halvard::test
