// The module as a host sees it: loaded with dlopen, its processor query
// answered by this executable's own Gestalt (interposed: the executable is
// searched before the platform library), its banner and table checked.
// Each load runs in a child process so that every answer meets a freshly
// loaded module.
#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../table_rows.h"
#include "tovrin.h"

namespace {

enum class Answer { QueryFails, BitClear, BitSet };
Answer g_answer = Answer::QueryFails;
int g_calls = 0;
uint32_t g_selector = 0;

}  // namespace

extern "C" __attribute__((visibility("default"))) int16_t Gestalt(uint32_t selector, int32_t* response) {
    ++g_calls;
    g_selector = selector;
    if (g_answer == Answer::QueryFails) return -5551;
    // Every other bit set, so only bit 4 may matter.
    *response = g_answer == Answer::BitSet ? 0x10 : static_cast<int32_t>(0xFFFFFFEFu);
    return 0;
}

namespace {

struct Row {
    int scale;
    std::string name;
    bool namePaddedWithNul;
    uintptr_t routineOffset;  // from the module's load address
};

struct LoadResult {
    std::string output;  // what both loads printed
    std::vector<Row> rows;
    bool terminatorAllZero = false;
    bool samePointerAndTable = false;
    int gestaltCalls = 0;
    uint32_t selector = 0;
};

std::string ReadAll(int fd) {
    std::string out;
    char buf[4096];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
    return out;
}

// Loads the module in a child with the given answer, loads it twice, and
// reports what it saw through a pipe in a line-based form.
LoadResult LoadInChild(Answer answer) {
    int outPipe[2], resultPipe[2];
    EXPECT_EQ(pipe(outPipe), 0);
    EXPECT_EQ(pipe(resultPipe), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        close(outPipe[0]);
        close(resultPipe[0]);
        dup2(outPipe[1], STDOUT_FILENO);
        g_answer = answer;
        FILE* report = fdopen(resultPipe[1], "w");
        void* module = dlopen(TOVRIN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            fprintf(report, "error %s\n", dlerror());
            _exit(1);
        }
        auto load = reinterpret_cast<const ScalerEntry* (*)()>(dlsym(module, "Tovrin_Load"));
        auto unload = reinterpret_cast<void (*)()>(dlsym(module, "Tovrin_Unload"));
        Dl_info info{};
        dladdr(reinterpret_cast<void*>(load), &info);
        const auto base = reinterpret_cast<uintptr_t>(info.dli_fbase);
        const ScalerEntry* table = load();
        int count = 0;
        while (table[count].scale != 0) ++count;
        std::vector<ScalerEntry> first(table, table + count + 1);
        const int callsAfterFirst = g_calls;
        const ScalerEntry* again = load();
        const bool same = again == table && std::memcmp(first.data(), again, sizeof(ScalerEntry) * (count + 1)) == 0;
        unload();
        fprintf(report, "calls %d %u\nsame %d\n", callsAfterFirst, g_selector, same ? 1 : 0);
        const ScalerEntry& end = table[count];
        const auto* endBytes = reinterpret_cast<const unsigned char*>(&end);
        bool zero = true;
        for (size_t i = 0; i < sizeof end; ++i) zero = zero && endBytes[i] == 0;
        fprintf(report, "terminator %d\n", zero ? 1 : 0);
        for (int i = 0; i < count; ++i) {
            const ScalerEntry& e = table[i];
            const size_t len = strnlen(e.name, sizeof e.name);
            bool padded = len < sizeof e.name;
            for (size_t k = len; k < sizeof e.name; ++k) padded = padded && e.name[k] == 0;
            fprintf(report, "row %d %d %lx %.*s\n", e.scale, padded ? 1 : 0,
                    static_cast<unsigned long>(reinterpret_cast<uintptr_t>(e.routine) - base),
                    static_cast<int>(len), e.name);
        }
        fflush(stdout);
        fclose(report);
        _exit(0);
    }
    close(outPipe[1]);
    close(resultPipe[1]);
    LoadResult result;
    const std::string report = ReadAll(resultPipe[0]);
    result.output = ReadAll(outPipe[0]);
    close(outPipe[0]);
    close(resultPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << report;
    size_t start = 0;
    while (start < report.size()) {
        size_t end = report.find('\n', start);
        if (end == std::string::npos) end = report.size();
        const std::string line = report.substr(start, end - start);
        start = end + 1;
        int scale = 0, padded = 0, same = 0, zero = 0, consumed = 0;
        unsigned long offset = 0;
        unsigned selector = 0;
        if (sscanf(line.c_str(), "calls %d %u", &result.gestaltCalls, &selector) == 2) result.selector = selector;
        else if (sscanf(line.c_str(), "same %d", &same) == 1) result.samePointerAndTable = same;
        else if (sscanf(line.c_str(), "terminator %d", &zero) == 1) result.terminatorAllZero = zero;
        else if (sscanf(line.c_str(), "row %d %d %lx %n", &scale, &padded, &offset, &consumed) == 3)
            result.rows.push_back({scale, line.substr(consumed), padded != 0, offset});
        else ADD_FAILURE() << "child said: " << line;
    }
    return result;
}

std::string Banner(const char* kind) {
    return std::string("Tovrin Library (") + kind + ") v0.9.1, ";
}

void ExpectBanner(const std::string& output, const char* kind) {
    const std::string rule = std::string(74, '=') + "\n\n";
    // Two loads, two banners.
    const size_t firstLine = output.find('\n');
    ASSERT_NE(firstLine, std::string::npos);
    const std::string once = output.substr(0, firstLine + 1) + rule;
    EXPECT_EQ(output, once + once);
    EXPECT_EQ(output.rfind(Banner(kind), 0), 0u) << output;
    EXPECT_EQ(once.find('\n'), once.size() - rule.size() - 1) << "the banner is one line";
}

// The rows are the fixed table's rows in order, each family complete.
void ExpectFixedOrder(const std::vector<Row>& rows) {
    size_t next = 0;
    for (const Row& row : rows) {
        while (next < tovrin::test::kTableRows.size() &&
               (tovrin::test::kTableRows[next].name != row.name || tovrin::test::kTableRows[next].scale != row.scale))
            ++next;
        ASSERT_LT(next, tovrin::test::kTableRows.size()) << "row " << row.name << " " << row.scale << " out of order";
        ++next;
        EXPECT_TRUE(row.namePaddedWithNul) << row.name;
    }
}

const tovrin::test::TableRow& Fixed(const Row& row) {
    for (const auto& fixed : tovrin::test::kTableRows)
        if (fixed.name == row.name && fixed.scale == row.scale) return fixed;
    throw std::logic_error("unknown row");
}

TEST(Load, FailingQueryKeepsTheScalarTable) {
    const LoadResult standard = LoadInChild(Answer::QueryFails);
    ExpectBanner(standard.output, "Standard");
    EXPECT_EQ(standard.gestaltCalls, 1);
    EXPECT_EQ(standard.selector, 0x70706366u);
    EXPECT_TRUE(standard.terminatorAllZero);
    EXPECT_TRUE(standard.samePointerAndTable);
    ASSERT_FALSE(standard.rows.empty());
    ExpectFixedOrder(standard.rows);
}

TEST(Load, ClearBitAndFailingQueryGiveTheSameTable) {
    const LoadResult failed = LoadInChild(Answer::QueryFails);
    const LoadResult clear = LoadInChild(Answer::BitClear);
    ExpectBanner(clear.output, "Standard");
    ASSERT_EQ(clear.rows.size(), failed.rows.size());
    for (size_t i = 0; i < clear.rows.size(); ++i) EXPECT_EQ(clear.rows[i].routineOffset, failed.rows[i].routineOffset);
}

// With the vector unit exactly the rows with a vector twin change routine,
// each to a routine that no row carried before; names and scales stay.
TEST(Load, VectorUnitSubstitutesTheVectorTwins) {
    const LoadResult scalar = LoadInChild(Answer::QueryFails);
    const LoadResult vector = LoadInChild(Answer::BitSet);
    ExpectBanner(vector.output, "Altivec");
    EXPECT_TRUE(vector.samePointerAndTable);
    EXPECT_TRUE(vector.terminatorAllZero);
    ASSERT_EQ(vector.rows.size(), scalar.rows.size());
    std::vector<uintptr_t> scalarRoutines;
    for (const Row& row : scalar.rows) scalarRoutines.push_back(row.routineOffset);
    int changed = 0, twins = 0;
    for (size_t i = 0; i < vector.rows.size(); ++i) {
        EXPECT_EQ(vector.rows[i].name, scalar.rows[i].name);
        EXPECT_EQ(vector.rows[i].scale, scalar.rows[i].scale);
        const bool twin = Fixed(scalar.rows[i]).hasVectorTwin;
        twins += twin;
        if (vector.rows[i].routineOffset == scalar.rows[i].routineOffset) continue;
        ++changed;
        EXPECT_TRUE(twin) << scalar.rows[i].name << " " << scalar.rows[i].scale << " has no vector twin";
        for (uintptr_t r : scalarRoutines) EXPECT_NE(vector.rows[i].routineOffset, r);
    }
    // Every row with a vector twin changes once the vector routines exist.
    constexpr bool kVectorRoutinesBuilt = true;
    EXPECT_EQ(changed, kVectorRoutinesBuilt ? twins : 0);
}

// A freshly loaded module with the vector unit: the first call of each vector
// "Interleaved" routine draws the odd destination rows from the second cache
// plane (bytes from 2 x width x height on), the second call the even rows
// from the first plane. The child prints, per call, the destination rows
// written and the range of cache bytes changed.
TEST(Load, VectorInterleavedStartsWithTheOddField) {
    constexpr int kWidth = 8, kHeight = 4;
    int resultPipe[2];
    ASSERT_EQ(pipe(resultPipe), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        close(resultPipe[0]);
        g_answer = Answer::BitSet;
        FILE* report = fdopen(resultPipe[1], "w");
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);  // the banner
        void* module = dlopen(TOVRIN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
        if (!module) _exit(1);
        auto load = reinterpret_cast<const ScalerEntry* (*)()>(dlsym(module, "Tovrin_Load"));
        alignas(16) uint16_t src[kWidth * (kHeight + 3)];
        for (size_t i = 0; i < std::size(src); ++i) src[i] = static_cast<uint16_t>((i * 0x0123) & 0x7FFF);
        for (const ScalerEntry* row = load(); row->scale != 0; ++row) {
            if (std::strcmp(row->name, "Interleaved") != 0 || row->scale < 2) continue;
            const int n = row->scale;
            alignas(16) uint8_t cache[4 * kWidth * kHeight];
            std::memset(cache, 0xFF, sizeof cache);
            std::vector<uint16_t> dst(static_cast<size_t>(kWidth * n) * kHeight * n);
            for (int call = 0; call < 2; ++call) {
                std::fill(dst.begin(), dst.end(), 0xDEAD);
                uint8_t before[sizeof cache];
                std::memcpy(before, cache, sizeof cache);
                row->routine(src + kWidth, 2 * kWidth, cache, dst.data(), 2 * kWidth * n, kWidth, kHeight);
                std::string rows;
                for (int y = 0; y < kHeight * n; ++y)
                    if (dst[static_cast<size_t>(y) * kWidth * n] != 0xDEAD) rows += std::to_string(y) + ",";
                int first = -1, last = -1;
                for (int i = 0; i < static_cast<int>(sizeof cache); ++i)
                    if (cache[i] != before[i]) last = (first < 0 ? first = i : i);
                fprintf(report, "%d %d %s %d %d\n", n, call, rows.c_str(), first, last);
            }
        }
        fclose(report);
        _exit(0);
    }
    close(resultPipe[1]);
    const std::string report = ReadAll(resultPipe[0]);
    close(resultPipe[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::string expected;
    for (int n = 2; n <= 5; ++n) {
        for (int call = 0; call < 2; ++call) {
            std::string rows;
            for (int y = 1 - call; y < kHeight * n; y += 2) rows += std::to_string(y) + ",";
            // The first and last source pixels have no 0xFF byte, so the
            // changed range is the whole plane.
            const int plane = call == 0 ? 2 * kWidth * kHeight : 0;
            expected += std::to_string(n) + " " + std::to_string(call) + " " + rows + " " + std::to_string(plane) +
                        " " + std::to_string(plane + 16 * (kWidth / 8) * kHeight - 1) + "\n";
        }
    }
    EXPECT_EQ(report, expected);
}

}  // namespace
