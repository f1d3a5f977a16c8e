// HQ2X, HQ3X, HQ4X: the colour table, the difference test and the blends on
// their named values and against per-channel arithmetic; every pattern byte
// and whole pictures against an evaluator of the rule tables written here
// from the data files (not from the generated code); the symmetries of the
// square; change tracking; one-pixel-wide and one-row-high pictures.
#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "fixture.h"
#include "frame/routines.h"
#include "frame/table.h"
#include "hq/hq.h"

namespace tovrin::test {
namespace {

constexpr uint16_t Rgb(int r, int g, int b) { return static_cast<uint16_t>((r << 10) | (g << 5) | b); }
constexpr int R(uint16_t p) { return (p >> 10) & 31; }
constexpr int G(uint16_t p) { return (p >> 5) & 31; }
constexpr int B(uint16_t p) { return p & 31; }

struct HqRoutine {
    int scale;
    BlitProc routine;
};
constexpr std::array<HqRoutine, 3> kHq = {{{2, Hq2x}, {3, Hq3x}, {4, Hq4x}}};

class HqTest : public testing::Test {
protected:
    void SetUp() override { BuildYuvTable(); }
};

// ---------------------------------------------------------------------------
// Independent reference: colours, difference test, blends, rule tables.

struct Yuv {
    int y, u, v;
};

Yuv RefYuv(uint16_t p) {
    const int r = 8 * R(p), g = 8 * G(p), b = 8 * B(p);
    return {(r + g + b) / 4, 128 + (r - b) / 4, 128 + (2 * g - r - b) / 8};
}

bool RefDiffers(uint16_t a, uint16_t b) {
    const Yuv x = RefYuv(a), y = RefYuv(b);
    return std::abs(x.y - y.y) > 48 || std::abs(x.u - y.u) > 7 || std::abs(x.v - y.v) > 6;
}

uint16_t RefBlend(const std::vector<int>& weights, const std::vector<uint16_t>& args) {
    int total = 0, r = 0, g = 0, b = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        total += weights[i];
        r += weights[i] * R(args[i]);
        g += weights[i] * G(args[i]);
        b += weights[i] * B(args[i]);
    }
    return Rgb(r / total, g / total, b / total);
}

const std::map<std::string, std::vector<int>> kWeights = {
    {"11", {1, 1}},    {"31", {3, 1}},    {"211", {2, 1, 1}}, {"71", {7, 1}},       {"53", {5, 3}},
    {"521", {5, 2, 1}}, {"611", {6, 1, 1}}, {"233", {2, 3, 3}}, {"1411", {14, 1, 1}}, {"277", {2, 7, 7}},
};

struct RefPlain {
    std::vector<int> weights;  // empty: the copy of w5
    std::vector<int> args;
};

struct RefRule {
    int a = 0, b = 0;  // tested pair, 0 when unconditional
    RefPlain differs, otherwise;
};

RefPlain ParsePlain(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    RefPlain plain;
    if (text == "5") return plain;
    const size_t open = text.find('(');
    EXPECT_NE(open, std::string::npos) << text;
    EXPECT_TRUE(kWeights.count(text.substr(0, open))) << text;
    plain.weights = kWeights.at(text.substr(0, open));
    for (size_t i = open + 1; i < text.size(); i += 2) plain.args.push_back(text[i] - '0');
    EXPECT_EQ(plain.args.size(), plain.weights.size()) << text;
    return plain;
}

RefRule ParseRule(const std::string& text) {
    RefRule rule;
    const size_t q = text.find('?');
    if (q == std::string::npos) {
        rule.differs = ParsePlain(text);
        return rule;
    }
    const std::string pair = text.substr(text.find_first_not_of(' '), 2);
    rule.a = pair[0] - '0';
    rule.b = pair[1] - '0';
    const size_t colon = text.find(':');
    rule.differs = ParsePlain(text.substr(q + 1, colon - q - 1));
    rule.otherwise = ParsePlain(text.substr(colon + 1));
    return rule;
}

using RuleTable = std::vector<std::vector<RefRule>>;  // [pattern][sub-pixel]

const RuleTable& Rules(int scale) {
    static std::map<int, RuleTable> tables;
    auto it = tables.find(scale);
    if (it != tables.end()) return it->second;
    RuleTable table(256);
    const std::string path = std::string(TOVRIN_HQ_RULES_DIR) + "/hq" + std::to_string(scale) + "x.txt";
    std::ifstream in(path);
    EXPECT_TRUE(in) << "cannot open " << path;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const int pattern = std::stoi(line.substr(0, line.find(':')));
        std::stringstream rules(line.substr(line.find(':') + 1));
        std::string text;
        while (std::getline(rules, text, '|')) table[pattern].push_back(ParseRule(text));
    }
    for (const auto& rules : table) EXPECT_EQ(rules.size(), static_cast<size_t>(scale * scale));
    return tables.emplace(scale, std::move(table)).first->second;
}

uint16_t Evaluate(const RefPlain& p, const std::array<uint16_t, 10>& w) {
    if (p.weights.empty()) return w[5];
    std::vector<uint16_t> args;
    for (int k : p.args) args.push_back(w[k]);
    return RefBlend(p.weights, args);
}

int RefPattern(const std::array<uint16_t, 10>& w) {
    static constexpr int kOrder[8] = {1, 2, 3, 4, 6, 7, 8, 9};
    int pattern = 0;
    for (int bit = 0; bit < 8; ++bit)
        if (RefDiffers(w[kOrder[bit]], w[5])) pattern |= 1 << bit;
    return pattern;
}

// The block of one neighbourhood, row-major.
std::vector<uint16_t> RefBlock(int scale, const std::array<uint16_t, 10>& w) {
    std::vector<uint16_t> block;
    for (const RefRule& rule : Rules(scale)[RefPattern(w)]) {
        const bool differs = rule.a && RefDiffers(w[rule.a], w[rule.b]);
        block.push_back(Evaluate(differs || !rule.a ? rule.differs : rule.otherwise, w));
    }
    return block;
}

// The neighbourhood of (x, y) under the edge rule: rows and columns outside
// the picture are replaced by the centre's.
std::array<uint16_t, 10> Neighbourhood(const Source& src, int x, int y) {
    std::array<uint16_t, 10> w{};
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int sx = (x + dx < 0 || x + dx >= src.width()) ? x : x + dx;
            const int sy = (y + dy < 0 || y + dy >= src.height()) ? y : y + dy;
            w[(dy + 1) * 3 + dx + 2] = src.at(sx, sy);
        }
    }
    return w;
}

// The whole output picture, every pixel written.
std::vector<uint16_t> RefPicture(const Source& src, int scale) {
    const int ow = src.width() * scale;
    std::vector<uint16_t> out(static_cast<size_t>(ow) * src.height() * scale);
    for (int y = 0; y < src.height(); ++y)
        for (int x = 0; x < src.width(); ++x) {
            const std::vector<uint16_t> block = RefBlock(scale, Neighbourhood(src, x, y));
            for (int i = 0; i < scale; ++i)
                for (int j = 0; j < scale; ++j) out[(y * scale + i) * ow + x * scale + j] = block[i * scale + j];
        }
    return out;
}

Expectation WholePicture(const std::vector<uint16_t>& out, int width) {
    return [&out, width](int x, int y) -> std::optional<uint16_t> { return out[y * width + x]; };
}

// Few colours, some similar to each other and some not, so that patterns
// and tested pairs take both outcomes.
void FillFewColours(Source& src, uint32_t seed) {
    std::mt19937 rng(seed);
    const uint16_t a = Rgb(8 + rng() % 16, 8 + rng() % 16, 8 + rng() % 16);
    const uint16_t palette[] = {a, static_cast<uint16_t>(a + Rgb(1, 0, 1)), static_cast<uint16_t>(a + Rgb(5, 5, 5)),
                                static_cast<uint16_t>(a - Rgb(5, 4, 5)), static_cast<uint16_t>(rng() & 0x7FFF)};
    src.Fill([&](int, int) { return palette[rng() % 5]; });
}

testing::AssertionResult DrawsReference(const HqRoutine& hq, const Source& src) {
    Dest dst(src.width() * hq.scale, src.height() * hq.scale);
    Cache cache(static_cast<size_t>(src.rowBytes()) * src.height());
    Draw(hq.routine, src, cache, dst);
    const std::vector<uint16_t> want = RefPicture(src, hq.scale);
    testing::AssertionResult ok = MatchesPicture(dst, WholePicture(want, dst.width()));
    if (!ok) return ok << " (" << hq.scale << "x, " << src.width() << "x" << src.height() << ")";
    return cache.GuardsIntact();
}

// ---------------------------------------------------------------------------
// Colour table and difference test.

TEST_F(HqTest, YuvTableEntries) {
    EXPECT_EQ(YuvTable[0x0000], 0x008080u);
    EXPECT_EQ(YuvTable[0x7FFF], 0xBA8080u);
    EXPECT_EQ(YuvTable[0x7C00], 0x3EBE61u);
    EXPECT_EQ(YuvTable[0x03E0], 0x3E80BEu);
    EXPECT_EQ(YuvTable[0x001F], 0x3E4261u);
    for (uint32_t p = 0; p < 65536; ++p) {
        const Yuv c = RefYuv(static_cast<uint16_t>(p));
        ASSERT_EQ(YuvTable[p], static_cast<uint32_t>(c.y * 65536 + c.u * 256 + c.v)) << Hex(p);
    }
}

TEST(Hq, LoadEntryFillsTheYuvTableFirst) {
    std::memset(YuvTable, 0, sizeof YuvTable);
    testing::internal::CaptureStdout();
    LoadScalerTable();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(YuvTable[0x7FFF], 0xBA8080u);
    EXPECT_EQ(YuvTable[0xFC00], 0x3EBE61u);
}

TEST_F(HqTest, YuvDiffersThresholds) {
    struct Case {
        uint16_t a, b;
        bool differs;
    };
    const Case cases[] = {
        {0x0000, 0x2108, false}, {0x0000, 0x2109, true},   // Y by 48 and 50
        {0x294A, 0x354A, false}, {0x294A, 0x394A, true},   // U by 6 and 8
        {0x294A, 0x29AA, false}, {0x294A, 0x29CA, true},   // V by 6 and 8
        {0x1234, 0x9234, false}, {0x7FFF, 0xFFFF, false},  // bit 15 only
        {0x0000, 0x0000, false}, {0x7FFF, 0x0000, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(YuvDiffers(c.a, c.b), c.differs) << Hex(c.a) << ", " << Hex(c.b);
        EXPECT_EQ(YuvDiffers(c.b, c.a), c.differs) << Hex(c.b) << ", " << Hex(c.a);
    }
}

TEST_F(HqTest, YuvDiffersAgreesWithTheThresholdsOnNearColours) {
    std::mt19937 rng(11);
    for (int i = 0; i < 300000; ++i) {
        const uint16_t a = static_cast<uint16_t>(rng() & 0xFFFF);
        // Near colours around every threshold, and some far ones.
        const int dr = static_cast<int>(rng() % 17) - 8, dg = static_cast<int>(rng() % 17) - 8,
                  db = static_cast<int>(rng() % 17) - 8;
        const uint16_t b = i % 8 == 0 ? static_cast<uint16_t>(rng() & 0xFFFF)
                                      : Rgb(std::clamp(R(a) + dr, 0, 31), std::clamp(G(a) + dg, 0, 31),
                                            std::clamp(B(a) + db, 0, 31));
        ASSERT_EQ(YuvDiffers(a, b), RefDiffers(a, b)) << Hex(a) << ", " << Hex(b);
    }
}

// The window's tests four at a time (where the processor has them) against
// the one-at-a-time form, on columns of near and far colours.
TEST_F(HqTest, WindowTestsAgreeWithTheScalarForm) {
    std::mt19937 rng(17);
    const auto pixel = [&](uint16_t base) {
        return rng() % 2 ? static_cast<uint16_t>(rng() & 0x7FFF)
                         : Rgb(std::clamp(R(base) + static_cast<int>(rng() % 9) - 4, 0, 31),
                               std::clamp(G(base) + static_cast<int>(rng() % 9) - 4, 0, 31),
                               std::clamp(B(base) + static_cast<int>(rng() % 9) - 4, 0, 31));
    };
    for (int i = 0; i < 100000; ++i) {
        const uint16_t base = rng() & 0x7FFF;
        uint16_t above[3], current[3], below[3];
        for (int x = 0; x < 3; ++x) above[x] = pixel(base), current[x] = pixel(base), below[x] = pixel(base);
        const hq_detail::Column l = hq_detail::LoadColumn(above, current, below, 0);
        const hq_detail::Column m = hq_detail::LoadColumn(above, current, below, 1);
        const hq_detail::Column r = hq_detail::LoadColumn(above, current, below, 2);
        unsigned pattern, pairs, scalarPattern, scalarPairs;
        hq_detail::TestWindow(l, m, r, pattern, pairs);
        hq_detail::TestWindowScalar(l, m, r, scalarPattern, scalarPairs);
        ASSERT_EQ(pattern, scalarPattern) << i;
        ASSERT_EQ(pairs, scalarPairs) << i;
        std::array<uint16_t, 10> w = {0, above[0], above[1], above[2], current[0], current[1], current[2],
                                      below[0], below[1], below[2]};
        ASSERT_EQ(static_cast<int>(pattern), RefPattern(w)) << i;
        ASSERT_EQ(pairs, unsigned{RefDiffers(w[2], w[4])} | unsigned{RefDiffers(w[2], w[6])} << 1 |
                             unsigned{RefDiffers(w[4], w[8])} << 2 | unsigned{RefDiffers(w[6], w[8])} << 3)
            << i;
    }
}

// ---------------------------------------------------------------------------
// Blends.

TEST_F(HqTest, BlendExamples) {
    EXPECT_EQ(HqBlend31(0x7FFF, 0x0000), 0x5EF7);
    EXPECT_EQ(HqBlend31(0x0000, 0x7FFF), 0x1CE7);
    EXPECT_EQ(HqBlend211(0x7C00, 0x03E0, 0x001F), 0x3CE7);
    EXPECT_EQ(HqBlend71(0x7FFF, 0x0000), 0x6F7B);
    EXPECT_EQ(HqBlend53(0x7FFF, 0x0000), 0x4E73);
    EXPECT_EQ(HqBlend521(0x7C00, 0x03E0, 0x001F), 0x4CE3);
    EXPECT_EQ(HqBlend611(0x7C00, 0x03E0, 0x001F), 0x5C63);
    EXPECT_EQ(HqBlend233(0x7FFF, 0x0000, 0x0000), 0x1CE7);
    EXPECT_EQ(HqBlend1411(0x7FFF, 0x0000, 0x0000), 0x6F7B);
    EXPECT_EQ(HqBlend1411(0x0000, 0x7FFF, 0x7FFF), 0x0C63);
    EXPECT_EQ(HqBlend277(0x0000, 0x7FFF, 0x7FFF), 0x6F7B);
}

// Every blend, each channel taking every combination of values (the three
// channels permuted so that a carry into a neighbour shows), against the
// weighted sum over the divisor; the destination-first forms store the same
// value and nothing else.
TEST_F(HqTest, BlendsAreTheFlooredWeightedMeanPerChannel) {
    using Two = uint16_t (*)(uint16_t, uint16_t);
    using Three = uint16_t (*)(uint16_t, uint16_t, uint16_t);
    const std::pair<const char*, Two> twos[] = {{"31", HqBlend31}, {"71", HqBlend71}, {"53", HqBlend53}};
    const std::pair<const char*, Three> threes[] = {{"211", HqBlend211}, {"521", HqBlend521},
                                                    {"611", HqBlend611}, {"233", HqBlend233},
                                                    {"1411", HqBlend1411}, {"277", HqBlend277}};
    for (int a = 0; a < 32; ++a)
        for (int b = 0; b < 32; ++b) {
            const uint16_t x = Rgb(a, b, 31 - a), y = Rgb(b, 31 - a, a);
            for (const auto& [name, blend] : twos)
                ASSERT_EQ(blend(x, y), RefBlend(kWeights.at(name), {x, y})) << name << " " << Hex(x) << Hex(y);
            for (int c = 0; c < 32; ++c) {
                const uint16_t z = Rgb(c, a, b);
                for (const auto& [name, blend] : threes)
                    ASSERT_EQ(blend(x, y, z), RefBlend(kWeights.at(name), {x, y, z}))
                        << name << " " << Hex(x) << Hex(y) << Hex(z);
            }
        }

    std::mt19937 rng(3);
    for (int i = 0; i < 2000; ++i) {
        const uint16_t x = rng() & 0x7FFF, y = rng() & 0x7FFF, z = rng() & 0x7FFF;
        uint16_t out[3] = {kSentinel, kSentinel, kSentinel};
        HqBlend211(out + 1, x, y, z);
        ASSERT_EQ(out[1], HqBlend211(x, y, z));
        HqBlend521(out + 1, x, y, z);
        ASSERT_EQ(out[1], HqBlend521(x, y, z));
        HqBlend611(out + 1, x, y, z);
        ASSERT_EQ(out[1], HqBlend611(x, y, z));
        HqBlend71(out + 1, x, y);
        ASSERT_EQ(out[1], HqBlend71(x, y));
        HqBlend53(out + 1, x, y);
        ASSERT_EQ(out[1], HqBlend53(x, y));
        ASSERT_EQ(out[0], kSentinel);
        ASSERT_EQ(out[2], kSentinel);
    }
}

// ---------------------------------------------------------------------------
// Named pictures.

// A 3x3 picture with centre `centre` on `ground`; the centre block must be
// `block` (row-major), every other block plain `ground`.
void ExpectCentreBlock(const HqRoutine& hq, uint16_t ground, uint16_t centre, const std::vector<uint16_t>& block) {
    const int n = hq.scale;
    Source src(3, 3);
    src.Fill([&](int x, int y) { return x == 1 && y == 1 ? centre : ground; });
    Dest dst(3 * n, 3 * n);
    Cache cache(static_cast<size_t>(src.rowBytes()) * 3);
    Draw(hq.routine, src, cache, dst);
    EXPECT_TRUE(MatchesPicture(dst, [&](int x, int y) -> std::optional<uint16_t> {
        if (x / n == 1 && y / n == 1) return block[(y % n) * n + x % n];
        return ground;
    })) << n << "x, " << Hex(centre) << " on " << Hex(ground);
}

std::vector<uint16_t> Corners(int n, uint16_t corner, uint16_t other) {
    std::vector<uint16_t> block(n * n, other);
    block[0] = block[n - 1] = block[n * (n - 1)] = block[n * n - 1] = corner;
    return block;
}

TEST_F(HqTest, SinglePixelOnPlainGround) {
    ExpectCentreBlock(kHq[0], 0x0000, 0x7FFF, std::vector<uint16_t>(4, 0x6F7B));
    ExpectCentreBlock(kHq[0], 0x7FFF, 0x0000, std::vector<uint16_t>(4, 0x0C63));
    for (const HqRoutine& hq : {kHq[1], kHq[2]}) {
        ExpectCentreBlock(hq, 0x0000, 0x7FFF, Corners(hq.scale, 0x3DEF, 0x7FFF));
        ExpectCentreBlock(hq, 0x7FFF, 0x0000, Corners(hq.scale, 0x3DEF, 0x0000));
    }
}

TEST_F(HqTest, PatternTwoBlocks) {
    const std::vector<std::vector<uint16_t>> blocks = {
        {0x18C6, 0x1084, 0x0C63, 0x1084},
        {0x18C6, 0x1084, 0x1084, 0x0C63, 0x1084, 0x1084, 0x0C63, 0x1084, 0x1084},
        {0x1CE7, 0x18C6, 0x1084, 0x1084, 0x1084, 0x14A5, 0x1084, 0x1084, 0x0C63, 0x0C63, 0x1084, 0x1084, 0x0C63,
         0x0C63, 0x1084, 0x1084},
    };
    const uint16_t w[10] = {0, 0x318C, 0x7FFF, 0x1084, 0x0000, 0x1084, 0x1084, 0x1084, 0x1084, 0x1084};
    for (size_t i = 0; i < kHq.size(); ++i) {
        const int n = kHq[i].scale;
        Source src(3, 3);
        src.Fill([&](int x, int y) { return w[y * 3 + x + 1]; });
        Dest dst(3 * n, 3 * n);
        Cache cache(static_cast<size_t>(src.rowBytes()) * 3);
        Draw(kHq[i].routine, src, cache, dst);
        for (int k = 0; k < n * n; ++k)
            EXPECT_EQ(dst.at(n + k % n, n + k / n), blocks[i][k]) << n << "x sub-pixel " << k / n << k % n;
    }
}

TEST_F(HqTest, UniformPicture) {
    for (const HqRoutine& hq : kHq) {
        for (const uint16_t colour : {0x0000, 0x7FFF, 0x1234, 0x5AD6}) {
            Source src(16, 6);
            src.Fill([&](int, int) { return colour; });
            Dest dst(16 * hq.scale, 6 * hq.scale);
            Cache cache(static_cast<size_t>(src.rowBytes()) * 6);
            Draw(hq.routine, src, cache, dst);
            EXPECT_TRUE(MatchesPicture(dst, [&](int, int) -> std::optional<uint16_t> { return colour; }))
                << hq.scale << "x " << Hex(colour);
        }
    }
}

// ---------------------------------------------------------------------------
// Every pattern byte, compared with the rule data.

// Neighbourhoods realising `pattern`: on the grey axis a step of one in
// every channel moves Y by 6, so steps of 9 or 10 differ from w5 and steps
// up to 7 do not, whatever the tint of one unit added to some neighbours.
// The neighbours' steps spread wide so that tested pairs take both outcomes.
std::array<uint16_t, 10> Realise(int pattern, std::mt19937& rng) {
    static constexpr int kOrder[8] = {1, 2, 3, 4, 6, 7, 8, 9};
    std::array<uint16_t, 10> w{};
    const int base = 12 + static_cast<int>(rng() % 8);  // every channel stays in 0..31
    const int tintR = static_cast<int>(rng() % 3) - 1, tintB = static_cast<int>(rng() % 3) - 1;
    w[5] = Rgb(base + tintR, base, base + tintB);
    for (int bit = 0; bit < 8; ++bit) {
        int step;
        if (pattern & (1 << bit)) {
            step = (rng() % 2 ? 9 : 10) * (rng() % 2 ? 1 : -1);
        } else {
            step = static_cast<int>(rng() % 15) - 7;
            if (rng() % 4 == 0) step = 0;
        }
        const int tint = rng() % 3 == 0 ? static_cast<int>(rng() % 3) - 1 : 0;
        w[kOrder[bit]] = Rgb(base + tintR + step + tint, base + step, base + tintB + step);
    }
    return w;
}

TEST_F(HqTest, EveryPatternMatchesTheRuleTable) {
    constexpr int kTrials = 12;
    for (const HqRoutine& hq : kHq) {
        std::mt19937 rng(100 + hq.scale);
        for (int pattern = 0; pattern < 256; ++pattern) {
            std::set<std::pair<int, bool>> outcomes;  // (pair, differs) seen
            for (int trial = 0; trial < kTrials; ++trial) {
                const std::array<uint16_t, 10> w = Realise(pattern, rng);
                ASSERT_EQ(RefPattern(w), pattern);
                for (int pair : {24, 26, 48, 68}) outcomes.insert({pair, RefDiffers(w[pair / 10], w[pair % 10])});
                Source src(3, 3);
                src.Fill([&](int x, int y) { return w[y * 3 + x + 1]; });
                ASSERT_TRUE(DrawsReference(hq, src)) << "pattern " << pattern << " trial " << trial;
            }
            // Both branches of every conditional of this pattern were taken.
            for (const RefRule& rule : Rules(hq.scale)[pattern]) {
                if (!rule.a) continue;
                EXPECT_TRUE(outcomes.count({rule.a * 10 + rule.b, true}) && outcomes.count({rule.a * 10 + rule.b, false}))
                    << hq.scale << "x pattern " << pattern << " pair " << rule.a << rule.b;
            }
        }
    }
}

// Whole pictures of many sizes, the one-pixel-wide and one-row-high ones
// among them, inside a margin of other colours that must not be read.
TEST_F(HqTest, WholePicturesMatchTheRuleTables) {
    const std::pair<int, int> sizes[] = {{16, 8}, {24, 6}, {8, 2}, {1, 6}, {8, 1}, {1, 1}, {2, 2}, {5, 3}, {3, 1}};
    for (const HqRoutine& hq : kHq) {
        for (const auto& [w, h] : sizes) {
            for (uint32_t seed = 0; seed < 4; ++seed) {
                Source src(w, h, seed % 2 ? 2 * w + 32 : 0);
                FillFewColours(src, seed * 31 + w * 7 + h);
                EXPECT_TRUE(DrawsReference(hq, src)) << "seed " << seed;
            }
        }
        Source random(16, 4);
        random.FillRandom(5);
        EXPECT_TRUE(DrawsReference(hq, random));
    }
}

// ---------------------------------------------------------------------------
// Symmetry: scaling a transformed picture gives the transformed output.

using Symmetry = std::pair<int, int> (*)(int x, int y, int n);
const Symmetry kSymmetries[8] = {
    [](int x, int y, int) { return std::pair{x, y}; },
    [](int x, int y, int n) { return std::pair{n - 1 - y, x}; },
    [](int x, int y, int n) { return std::pair{n - 1 - x, n - 1 - y}; },
    [](int x, int y, int n) { return std::pair{y, n - 1 - x}; },
    [](int x, int y, int n) { return std::pair{n - 1 - x, y}; },
    [](int x, int y, int n) { return std::pair{x, n - 1 - y}; },
    [](int x, int y, int) { return std::pair{y, x}; },
    [](int x, int y, int n) { return std::pair{n - 1 - y, n - 1 - x}; },
};

TEST_F(HqTest, SymmetriesOfTheSquare) {
    constexpr int kSide = 16;
    for (const HqRoutine& hq : kHq) {
        const int out = kSide * hq.scale;
        for (uint32_t seed = 0; seed < 3; ++seed) {
            Source src(kSide, kSide);
            FillFewColours(src, 700 + seed);
            Dest plain(out, out);
            Cache cache(static_cast<size_t>(src.rowBytes()) * kSide);
            Draw(hq.routine, src, cache, plain);
            for (int s = 1; s < 8; ++s) {
                Source moved(kSide, kSide);
                for (int y = 0; y < kSide; ++y)
                    for (int x = 0; x < kSide; ++x) {
                        const auto [mx, my] = kSymmetries[s](x, y, kSide);
                        moved.at(mx, my) = src.at(x, y);
                    }
                Dest dst(out, out);
                Cache fresh(static_cast<size_t>(moved.rowBytes()) * kSide);
                Draw(hq.routine, moved, fresh, dst);
                std::vector<uint16_t> want(static_cast<size_t>(out) * out);
                for (int y = 0; y < out; ++y)
                    for (int x = 0; x < out; ++x) {
                        const auto [mx, my] = kSymmetries[s](x, y, out);
                        want[my * out + mx] = plain.at(x, y);
                    }
                EXPECT_TRUE(MatchesPicture(dst, WholePicture(want, out)))
                    << hq.scale << "x symmetry " << s << " seed " << seed;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Change tracking.

struct Tracked {
    Tracked(const HqRoutine& hq, int w, int h, uint32_t seed)
        : hq(hq), src(w, h, 2 * w + 16), dst(w * hq.scale, h * hq.scale), cache(static_cast<size_t>(src.rowBytes()) * h) {
        FillFewColours(src, seed);
        Draw(hq.routine, src, cache, dst);
    }
    // Redraws after a change; the caller checks which blocks were written.
    void Redraw() {
        dst.Reset();
        Draw(hq.routine, src, cache, dst);
    }
    const HqRoutine& hq;
    Source src;
    Dest dst;
    Cache cache;
};

TEST_F(HqTest, RepeatedCallRedrawsOnlyTheFirstThreeBlocksOfEachRow) {
    for (const HqRoutine& hq : kHq) {
        Tracked t(hq, 16, 6, 21);
        const std::vector<uint16_t> want = RefPicture(t.src, hq.scale);
        t.Redraw();
        EXPECT_TRUE(MatchesPicture(t.dst, [&](int x, int y) -> std::optional<uint16_t> {
            if (x / hq.scale >= 3) return std::nullopt;
            return want[y * t.dst.width() + x];
        })) << hq.scale << "x";
        // The cache mirrors the source in columns 1 to width - 1 only.
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < t.src.rowBytes() / 2; ++x)
                EXPECT_EQ(t.cache.PixelAt(y * t.src.rowBytes() + 2 * x),
                          x >= 1 && x < 16 ? t.src.at(x, y) : uint16_t{0xFFFF})
                    << "cache (" << x << ", " << y << ")";
        EXPECT_TRUE(t.cache.GuardsIntact());
    }
}

TEST_F(HqTest, ChangedPixelRedrawsItsNeighbourBlocks) {
    constexpr int kW = 16, kH = 6;
    const std::pair<int, int> changes[] = {{7, 2}, {1, 0}, {0, 3}, {15, 5}, {15, 0}, {4, 5}, {2, 1}, {9, 0}};
    for (const HqRoutine& hq : kHq) {
        Tracked t(hq, kW, kH, 5);
        for (const auto& [cx, cy] : changes) {
            t.src.at(cx, cy) ^= 0x7C1F;
            t.Redraw();
            const std::vector<uint16_t> want = RefPicture(t.src, hq.scale);
            EXPECT_TRUE(MatchesPicture(t.dst, [&](int x, int y) -> std::optional<uint16_t> {
                const int bx = x / hq.scale, by = y / hq.scale;
                const bool redrawn = bx < 3 || (std::abs(bx - cx) <= 1 && std::abs(by - cy) <= 1);
                if (!redrawn) return std::nullopt;
                return want[y * t.dst.width() + x];
            })) << hq.scale << "x change at (" << cx << ", " << cy << ")";
        }
    }
}

TEST_F(HqTest, RandomChangesEndInAFreshDraw) {
    for (const HqRoutine& hq : kHq) {
        for (const auto& [w, h] : {std::pair{16, 8}, {8, 1}, {1, 6}, {24, 2}}) {
            Tracked t(hq, w, h, 77 + w);
            std::mt19937 rng(w * 100 + h + hq.scale);
            for (int step = 0; step < 25; ++step) {
                const int changes = 1 + static_cast<int>(rng() % 4);
                for (int i = 0; i < changes; ++i) {
                    uint16_t& p = t.src.at(static_cast<int>(rng() % w), static_cast<int>(rng() % h));
                    p = rng() % 3 ? t.src.at(static_cast<int>(rng() % w), static_cast<int>(rng() % h))
                                  : static_cast<uint16_t>(p ^ (1u << (rng() % 15)));
                }
                Draw(hq.routine, t.src, t.cache, t.dst);
                Dest fresh(w * hq.scale, h * hq.scale);
                Cache cache(static_cast<size_t>(t.src.rowBytes()) * h);
                Draw(hq.routine, t.src, cache, fresh);
                ASSERT_TRUE(MatchesPicture(t.dst, [&](int x, int y) -> std::optional<uint16_t> { return fresh.at(x, y); }))
                    << hq.scale << "x " << w << "x" << h << " step " << step;
            }
            EXPECT_TRUE(t.cache.GuardsIntact());
        }
    }
}

TEST_F(HqTest, EmptyPicturesWriteNothing) {
    for (const HqRoutine& hq : kHq) {
        Source src(8, 2);
        src.FillRandom(1);
        Dest dst(8 * hq.scale, 2 * hq.scale);
        Cache cache(static_cast<size_t>(src.rowBytes()) * 2);
        hq.routine(src.pixels(), src.rowBytes(), cache.data(), dst.pixels(), dst.rowBytes(), 0, 2);
        hq.routine(src.pixels(), src.rowBytes(), cache.data(), dst.pixels(), dst.rowBytes(), 8, 0);
        hq.routine(src.pixels(), src.rowBytes(), cache.data(), dst.pixels(), dst.rowBytes(), -8, -2);
        EXPECT_EQ(dst.CountWritten(), 0);
        EXPECT_EQ(cache.Bytes(), std::vector<uint8_t>(cache.extent(), 0xFF));
    }
}

}  // namespace
}  // namespace tovrin::test
