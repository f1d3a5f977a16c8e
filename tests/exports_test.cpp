// The module exports exactly its two entry points; everything else stays
// inside it.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

TEST(Module, ExportsExactlyTheTwoEntryPoints) {
    const std::string command = std::string("nm -D --defined-only ") + TOVRIN_MODULE_PATH;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> functions;
    char line[1024];
    int lines = 0;
    while (fgets(line, sizeof line, pipe)) {
        ++lines;
        char type = 0;
        char name[512] = {};
        // "<address> <type> <name>"
        if (sscanf(line, "%*s %c %511s", &type, name) != 2) continue;
        if (type == 'T' || type == 't' || type == 'W' || type == 'i') functions.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0) << "nm failed";
    ASSERT_GT(lines, 0);
    EXPECT_EQ(functions, (std::set<std::string>{"Tovrin_Load", "Tovrin_Unload"}));
}

}  // namespace
