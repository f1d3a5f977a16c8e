// Build-time generator: turns an HQ rule table (one line per pattern byte,
// see the comment at the top of each .txt file) into the body of a C++
// function, one switch on the pattern byte with every rule written out.
// Patterns whose rule sets are equal share one case.
//
//   hq_rulegen <scale> <rules.txt> <out.inc> [--store-routines]
//
// With --store-routines the blends that have destination-first routines
// (211, 71, 521, 611, 53) are emitted as calls of those routines. Tested
// pairs are evaluated once per block; conditionals select without a branch.
//
// The generated code expects in scope `n` (an HqWindow) and `d` (the
// destination rows of the block).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    std::cerr << "hq_rulegen: " << where << ": " << what << "\n";
    std::exit(1);
}

struct Blend {
    const char* weights;
    const char* function;
    int arity;
    bool storeRoutine;  // has a destination-first routine
};

constexpr Blend kBlends[] = {
    {"11", "HqAverage", 2, false},  {"31", "HqBlend31", 2, false},
    {"211", "HqBlend211", 3, true},      {"71", "HqBlend71", 2, true},
    {"53", "HqBlend53", 2, true},        {"521", "HqBlend521", 3, true},
    {"611", "HqBlend611", 3, true},      {"233", "HqBlend233", 3, false},
    {"1411", "HqBlend1411", 3, false},   {"277", "HqBlend277", 3, false},
};

// A plain rule: the copy of w5 (blend == nullptr) or a blend of neighbours.
struct Plain {
    const Blend* blend = nullptr;
    std::vector<int> args;
};

struct Rule {
    int pairA = 0, pairB = 0;  // nonzero for a conditional
    Plain ifDiffers, otherwise;
};

class Parser {
public:
    Parser(std::string text, std::string where) : s_(std::move(text)), where_(std::move(where)) {}

    Rule ParseRule() {
        Rule rule;
        const std::string digits = Digits();
        Skip();
        if (Peek() == '?') {
            ++i_;
            if (digits.size() != 2) Fail(where_, "a tested pair has two neighbour numbers");
            rule.pairA = digits[0] - '0';
            rule.pairB = digits[1] - '0';
            const std::set<std::pair<int, int>> pairs = {{2, 4}, {2, 6}, {4, 8}, {6, 8}};
            if (!pairs.count({rule.pairA, rule.pairB})) Fail(where_, "pair " + digits + " is not an edge pair");
            Skip();
            rule.ifDiffers = ParsePlain(Digits());
            Skip();
            Expect(':');
            Skip();
            rule.otherwise = ParsePlain(Digits());
        } else {
            rule.ifDiffers = ParsePlain(digits);
        }
        Skip();
        if (i_ != s_.size()) Fail(where_, "unexpected text after a rule: " + s_.substr(i_));
        return rule;
    }

private:
    char Peek() const { return i_ < s_.size() ? s_[i_] : '\0'; }
    void Skip() {
        while (Peek() == ' ' || Peek() == '\t') ++i_;
    }
    void Expect(char c) {
        if (Peek() != c) Fail(where_, std::string("expected '") + c + "' in: " + s_);
        ++i_;
    }
    std::string Digits() {
        std::string d;
        while (Peek() >= '0' && Peek() <= '9') d += s_[i_++];
        if (d.empty()) Fail(where_, "expected a number in: " + s_);
        return d;
    }
    Plain ParsePlain(const std::string& digits) {
        Plain plain;
        Skip();
        if (Peek() != '(') {
            if (digits != "5") Fail(where_, "a rule without arguments must be 5");
            return plain;
        }
        for (const Blend& b : kBlends)
            if (digits == b.weights) plain.blend = &b;
        if (!plain.blend) Fail(where_, "unknown blend " + digits);
        Expect('(');
        for (;;) {
            Skip();
            const std::string arg = Digits();
            if (arg.size() != 1 || arg == "0") Fail(where_, "neighbour numbers are 1 to 9");
            plain.args.push_back(arg[0] - '0');
            Skip();
            if (Peek() == ')') break;
            Expect(',');
        }
        ++i_;
        if (static_cast<int>(plain.args.size()) != plain.blend->arity)
            Fail(where_, std::string("blend ") + digits + " takes " + std::to_string(plain.blend->arity) +
                             " arguments");
        return plain;
    }

    std::string s_;
    std::string where_;
    size_t i_ = 0;
};

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

std::string Arguments(const Plain& p) {
    std::string out;
    for (int a : p.args) out += ", w" + std::to_string(a);
    return out;
}

std::string Expression(const Plain& p) {
    if (!p.blend) return "w5";
    return std::string(p.blend->function) + "(" + Arguments(p).substr(2) + ")";
}

template <typename... Parts>
std::string Cat(const Parts&... parts) {
    std::ostringstream out;
    (out << ... << parts);
    return out.str();
}

std::string Target(int scale, int index) { return Cat("d", index / scale, "[", index % scale, "]"); }

std::string Address(int scale, int index) { return Cat("d", index / scale, " + ", index % scale); }

std::string Flag(const Rule& r) { return Cat("d", r.pairA, r.pairB); }

bool UsesStoreRoutine(const Plain& p, bool storeRoutines) {
    return storeRoutines && p.blend && p.blend->storeRoutine;
}

// One statement that writes sub-pixel `index`.
std::string PlainStatement(const Plain& p, int scale, int index, bool storeRoutines) {
    if (UsesStoreRoutine(p, storeRoutines))
        return Cat(p.blend->function, "(", Address(scale, index), Arguments(p), ");");
    return Cat(Target(scale, index), " = ", Expression(p), ";");
}

// A conditional computes both rules and selects, so that the outcome of a
// tested pair costs no branch. A store routine then writes to a local.
std::string Statement(const Rule& r, int scale, int index, bool storeRoutines) {
    if (!r.pairA) return PlainStatement(r.ifDiffers, scale, index, storeRoutines);
    std::string prefix, values[2];
    const Plain* sides[2] = {&r.ifDiffers, &r.otherwise};
    for (int k = 0; k < 2; ++k) {
        if (UsesStoreRoutine(*sides[k], storeRoutines)) {
            values[k] = std::string(1, k ? 'o' : 't');
            prefix += Cat("uint16_t ", values[k], "; ", sides[k]->blend->function, "(&", values[k],
                          Arguments(*sides[k]), "); ");
        } else {
            values[k] = Expression(*sides[k]);
        }
    }
    const std::string store = Cat(Target(scale, index), " = HqSelect(", Flag(r), ", ", values[0], ", ", values[1], ");");
    return prefix.empty() ? store : Cat("{ ", prefix, store, " }");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5 || (argc == 5 && std::string(argv[4]) != "--store-routines")) {
        std::cerr << "usage: hq_rulegen <scale> <rules.txt> <out.inc> [--store-routines]\n";
        return 2;
    }
    const int scale = std::atoi(argv[1]);
    if (scale < 2 || scale > 4) Fail(argv[1], "scale must be 2, 3 or 4");
    const bool storeRoutines = argc == 5;
    const std::string input = argv[2];
    std::ifstream in(input);
    if (!in) Fail(input, "cannot open");

    std::vector<std::vector<Rule>> table(256);
    std::vector<bool> seen(256, false);
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string where = input + ":" + std::to_string(lineNo);
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        const size_t colon = line.find(':');
        if (colon == std::string::npos) Fail(where, "expected '<pattern>: rules'");
        char* end = nullptr;
        const std::string head = Trim(line.substr(0, colon));
        const long pattern = std::strtol(head.c_str(), &end, 10);
        if (head.empty() || *end != '\0' || pattern < 0 || pattern > 255) Fail(where, "bad pattern " + head);
        if (seen[pattern]) Fail(where, "pattern " + head + " given twice");
        seen[pattern] = true;
        std::stringstream rules(line.substr(colon + 1));
        std::string text;
        while (std::getline(rules, text, '|')) table[pattern].push_back(Parser(Trim(text), where).ParseRule());
        if (static_cast<int>(table[pattern].size()) != scale * scale)
            Fail(where, "expected " + std::to_string(scale * scale) + " rules");
    }
    for (int p = 0; p < 256; ++p)
        if (!seen[p]) Fail(input, "pattern " + std::to_string(p) + " missing");

    // Group patterns by the code they need; first appearance fixes the order.
    std::vector<std::string> bodies;
    std::vector<std::vector<int>> patterns;
    std::map<std::string, size_t> index;
    for (int p = 0; p < 256; ++p) {
        std::set<std::string> flags;
        std::string body;
        for (int i = 0; i < scale * scale; ++i) {
            const Rule& r = table[p][i];
            if (r.pairA) flags.insert(Flag(r));
            body += "        " + Statement(r, scale, i, storeRoutines) + "\n";
        }
        std::string tests;
        for (const std::string& f : flags)
            tests += "        const bool " + f + " = (n.pairs & kHqPair" + f.substr(1) + ") != 0;\n";
        body = tests + body;
        auto [it, inserted] = index.emplace(body, bodies.size());
        if (inserted) {
            bodies.push_back(body);
            patterns.emplace_back();
        }
        patterns[it->second].push_back(p);
    }

    std::ostringstream out;
    const std::string name = input.substr(input.find_last_of('/') + 1);
    out << "// Generated by hq_rulegen from " << name << ": do not edit.\n"
        << "// " << bodies.size() << " distinct rule sets for the 256 patterns.\n"
        << "const uint16_t w1 = n.w[1], w2 = n.w[2], w3 = n.w[3], w4 = n.w[4], w5 = n.w[5], w6 = n.w[6],\n"
        << "               w7 = n.w[7], w8 = n.w[8], w9 = n.w[9];\n"
        << "uint16_t ";
    for (int i = 0; i < scale; ++i) out << (i ? ", " : "") << "*d" << i << " = d[" << i << "]";
    out << ";\n"
        << "switch (n.pattern & 0xFFu) {  // a byte: the mask spares the range check\n";
    for (size_t b = 0; b < bodies.size(); ++b) {
        for (size_t k = 0; k < patterns[b].size(); ++k)
            out << (k % 8 == 0 ? "    " : " ") << "case " << patterns[b][k] << ":"
                << (k % 8 == 7 || k + 1 == patterns[b].size() ? "\n" : "");
        out << "    {\n" << bodies[b] << "        break;\n    }\n";
    }
    out << "}\n";

    const std::string output = argv[3];
    std::ofstream file(output);
    if (!(file << out.str())) Fail(output, "cannot write");
    return 0;
}
