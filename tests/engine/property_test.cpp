// Random equations, random legal steps: every line a step writes must have exactly the
// solution set of the line it came from, computed here independently with exact rationals.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "engine/engine.h"
#include "engine/format.h"
#include "tests/support/fake_prompter.h"

namespace solvari {
namespace {

struct Rat {
    Wide n = 0, d = 1;
    static Rat of(Wide n, Wide d) {
        if (d < 0) { n = -n; d = -d; }
        Wide a = n < 0 ? -n : n, b = d;
        while (b) { Wide r = a % b; a = b; b = r; }
        if (a > 1) { n /= a; d /= a; }
        return Rat{n, d};
    }
    Rat operator+(Rat o) const { return of(n * o.d + o.n * d, d * o.d); }
    Rat operator-(Rat o) const { return of(n * o.d - o.n * d, d * o.d); }
    Rat operator*(Rat o) const { return of(n * o.n, d * o.d); }
    bool operator==(const Rat& o) const { return n == o.n && d == o.d; }
    bool zero() const { return n == 0; }
};

struct Linear { Rat a, b; };  // a*x + b

// Evaluates terms [i, end) up to a closing bracket or '=' (left at i).
Linear evalSeq(const EquationLine& l, int& i) {
    Linear acc;
    while (i < l.count) {
        const Term& t = l.terms[static_cast<size_t>(i)];
        if (t.kind == '=' || isCloseBracket(t.kind)) return acc;
        Rat v = Rat::of(t.num, t.den);
        if ((t.kind == '/' || t.kind == '|') && i + 1 < l.count && isOpenBracket(l.terms[static_cast<size_t>(i + 1)].kind)) {
            i += 2;
            Linear inner = evalSeq(l, i);
            ++i;  // the closing bracket
            acc.a = acc.a + v * inner.a;
            acc.b = acc.b + v * inner.b;
            continue;
        }
        if (isOpenBracket(t.kind)) {  // a group without a coefficient counts once
            ++i;
            Linear inner = evalSeq(l, i);
            ++i;
            acc.a = acc.a + inner.a;
            acc.b = acc.b + inner.b;
            continue;
        }
        if (t.kind == '/' || t.kind == '|') acc.b = acc.b + v;
        else if (isLetterKind(t.kind)) acc.a = acc.a + v;
        ++i;
    }
    return acc;
}

// The solution set of A x = B as a short text: "x=p/q", "ALL" or "NONE".
std::string solutionSet(const EquationLine& l) {
    int i = 0;
    Linear left = evalSeq(l, i);
    ++i;
    Linear right = evalSeq(l, i);
    Rat A = left.a - right.a, B = right.b - left.b;
    if (A.zero()) return B.zero() ? "ALL" : "NONE";
    Rat s = Rat::of(B.n * A.d, B.d * A.n);
    return "x=" + std::to_string(static_cast<long long>(s.n)) + "/" + std::to_string(static_cast<long long>(s.d));
}

bool hasBracket(const EquationLine& l) {
    for (int i = 0; i < l.count; ++i)
        if (isOpenBracket(l.terms[static_cast<size_t>(i)].kind)) return true;
    return false;
}

class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string number() {
        switch (pick(0, 5)) {
            case 0: return std::to_string(pick(1, 3)) + "/" + std::to_string(pick(2, 5));
            case 1: return "0." + std::to_string(pick(1, 9));
            default: return std::to_string(pick(1, 12));
        }
    }
    std::string term(int depth) {
        switch (pick(0, depth > 0 ? 4 : 2)) {
            case 0: return number();
            case 1: return number() + "x";
            case 2: return "x";
            case 3: return std::to_string(pick(2, 4)) + "(" + side(depth - 1) + ")";
            default: return std::to_string(pick(1, 2)) + "|" + std::to_string(pick(2, 3)) + "(" + side(depth - 1) + ")";
        }
    }
    std::string side(int depth) {
        std::string s = (pick(0, 3) == 0 ? "-" : "") + term(depth);
        int extra = pick(0, 2);
        for (int k = 0; k < extra; ++k) s += (pick(0, 1) ? "+" : "-") + term(depth);
        return s;
    }
    std::string equation() { return side(2) + "=" + side(1); }

private:
    std::mt19937 rng_;
};

TEST(AlgebraProperty, EveryStepKeepsTheSolutionSet) {
    Generator gen(20261207);
    testing::FakePrompter prompter;
    Engine engine(prompter);
    int checked = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text = gen.equation();
        if (text.size() > 38) continue;
        prompter.clear();
        if (!engine.parseEquation(1, text)) continue;
        const char letter = engine.letter;
        int current = 1;
        for (int step = 2; step <= LAST_WORK_LINE; ++step) {
            const EquationLine& src = engine.line(current);
            const std::string before = solutionSet(src);
            const bool brackets = hasBracket(src);
            engine.targetLine = step;
            engine.clearLine(step);
            engine.letter = letter;
            Term operand{gen.pick(1, 4), gen.pick(-9, 9), '/'};
            if (operand.num == 0) operand.num = 1;
            if (gen.pick(0, 3) == 0) operand.kind = letter;
            int op = brackets ? gen.pick(0, 1) : gen.pick(0, 6);
            OpStatus status;
            bool weak = false;  // combining lines only keeps the solution, not the whole set
            switch (op) {
                case 0: status = engine.removeParentheses(current); break;
                case 1: operand.kind = '/'; status = engine.scaleLine(current, gen.pick(0, 1) ? '*' : '/', operand); break;
                case 2: status = engine.collectLikeTerms(current); break;
                case 3: status = engine.transposeTerms(current); break;
                case 4: status = engine.addToBothSides(current, gen.pick(0, 1) ? '+' : '-', operand); break;
                case 5: {
                    int other = 1 + gen.pick(0, current - 1);
                    if (hasBracket(engine.line(other))) other = current;
                    status = engine.combineLines(current, other);
                    weak = true;
                    break;
                }
                default: status = engine.subtractLines(current, current); weak = true; break;
            }
            if (status == OpStatus::Refused) {
                EXPECT_EQ(engine.line(step).count, 0) << text;
                ++refused;
                break;
            }
            if (op == 0 && status == OpStatus::NoChange) continue;
            const std::string after = solutionSet(engine.line(step));
            if (weak) {
                if (before.rfind("x=", 0) == 0) {
                    // the known solution still satisfies the combined line
                    EXPECT_TRUE(after == before || after == "ALL") << text << " -> " << lineToText(engine.line(step), false);
                }
                break;  // a combined line no longer has a single known solution set
            }
            EXPECT_EQ(after, before) << text << " step " << op << " -> " << lineToText(engine.line(step), false);
            ++checked;
            current = step;
        }
    }
    EXPECT_GT(checked, 5000);
    RecordProperty("refused", refused);
}

}  // namespace
}  // namespace solvari
