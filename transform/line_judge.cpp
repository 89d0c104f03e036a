#include "transform/line_judge.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

#include "engine/format.h"
#include "engine/solution_set.h"
#include "transform/operations.h"

namespace solvari {

const char* mistakeCode(Mistake m) {
    switch (m) {
        case Mistake::None: return "";
        case Mistake::TransposeSign: return "transpose-sign";
        case Mistake::StaySign: return "stay-sign";
        case Mistake::OneSide: return "one-side";
        case Mistake::BracketFirst: return "bracket-first";
        case Mistake::BracketSign: return "bracket-sign";
        case Mistake::CoefAsTerm: return "coef-as-term";
        case Mistake::DivideInverted: return "divide-inverted";
        case Mistake::DenominatorTerm: return "denominator-term";
        case Mistake::UnlikeTerms: return "unlike-terms";
        case Mistake::Arithmetic: return "arithmetic";
        case Mistake::Other: return "other";
        case Mistake::Unreadable: return "unreadable";
    }
    return "";
}

const char* mistakeName(Mistake m) {
    switch (m) {
        case Mistake::TransposeSign: return "移項の符号";
        case Mistake::StaySign: return "動かない項の符号";
        case Mistake::OneSide: return "片方の辺だけ";
        case Mistake::BracketFirst: return "かっこの初めの項だけ";
        case Mistake::BracketSign: return "かっこの前の－";
        case Mistake::CoefAsTerm: return "係数をひく";
        case Mistake::DivideInverted: return "逆にわる";
        case Mistake::DenominatorTerm: return "分母のはらい忘れ";
        case Mistake::UnlikeTerms: return "文字と数をまとめる";
        case Mistake::Arithmetic: return "計算ちがい";
        case Mistake::Other: return "その他";
        case Mistake::None:
        case Mistake::Unreadable: break;
    }
    return "";
}

namespace {

// A line as the student sees its structure: the terms of each side in order, a bracket group
// as one piece with its factor (ONE_TERM when none is written).
struct Piece {
    bool group = false;
    Term term = ONE_TERM;
    std::vector<Piece> inner;
};
using Side = std::vector<Piece>;
struct Sides {
    Side left, right;
};

bool isCoefficient(char k) { return k == KIND_NUMBER || k == KIND_BAR; }

bool readPieces(const EquationLine& l, int& i, Side& out) {
    while (i < l.count) {
        const Term& t = l.terms[static_cast<size_t>(i)];
        if (t.kind == KIND_EQUALS || isCloseBracket(t.kind)) return true;
        const char next = i + 1 < l.count ? l.terms[static_cast<size_t>(i + 1)].kind : '\0';
        if ((isCoefficient(t.kind) && isOpenBracket(next)) || isOpenBracket(t.kind)) {
            Piece g;
            g.group = true;
            if (!isOpenBracket(t.kind)) {
                g.term = t;
                ++i;
            }
            ++i;  // the opening bracket
            if (!readPieces(l, i, g.inner) || i >= l.count || !isCloseBracket(l.terms[static_cast<size_t>(i)].kind)) return false;
            ++i;
            out.push_back(std::move(g));
        } else {
            if (carriesValue(t.kind)) out.push_back(Piece{false, t, {}});
            ++i;
        }
    }
    return true;
}

std::optional<Sides> piecesOf(const EquationLine& l) {
    Sides s;
    int i = 0;
    if (!readPieces(l, i, s.left) || i >= l.count || l.terms[static_cast<size_t>(i)].kind != KIND_EQUALS) return std::nullopt;
    ++i;
    if (!readPieces(l, i, s.right) || i < l.count) return std::nullopt;
    return s;
}

// How a bracket group is taken apart: rightly, or as the mistakes do it.
enum class Unbracket { Right, FirstOnly, SignFirstOnly, SignIgnored };

bool negative(const Term& t) { return t.num < 0; }
bool unit(const Term& t) { return std::abs(static_cast<int64_t>(t.num)) == t.den; }

// Whether a mistaken rule could take this group apart differently from the right one: only the
// first term multiplied matters when the factor is not ±1; kept signs when it is negative.
bool fits(const Piece& g, Unbracket rule) {
    if (!g.group || g.inner.size() < 2) return false;
    switch (rule) {
        case Unbracket::Right: return false;
        case Unbracket::FirstOnly: return !unit(g.term);
        default: return negative(g.term);
    }
}

// The sums a side stands for; a mistaken rule applies to the groups in `wrong`.
class Forms {
public:
    Exact x;
    std::vector<const Piece*> wrong;

    Rational value(const Term& t) { return x.make(t.num, t.den); }
    Rational magnitude(const Term& t) { return x.make(std::abs(static_cast<int64_t>(t.num)), t.den); }

    LinearForm of(const Piece& p, Unbracket rule) {
        if (!p.group) {
            LinearForm f;
            (isLetterKind(p.term.kind) ? f.a : f.b) = value(p.term);
            return f;
        }
        const bool mistaken = fits(p, rule) && std::find(wrong.begin(), wrong.end(), &p) != wrong.end();
        if (!mistaken) return x.scale(of(p.inner, rule), value(p.term));
        LinearForm out;
        for (size_t k = 0; k < p.inner.size(); ++k) {
            const LinearForm inner = of(p.inner[k], rule);
            Rational factor = {1, 1};
            if (rule == Unbracket::FirstOnly) factor = k == 0 ? value(p.term) : Rational{1, 1};
            else if (rule == Unbracket::SignFirstOnly) factor = k == 0 ? value(p.term) : magnitude(p.term);
            else factor = magnitude(p.term);
            out = x.add(out, x.scale(inner, factor));
        }
        return out;
    }
    LinearForm of(const Side& side, Unbracket rule = Unbracket::Right) {
        LinearForm out;
        for (const Piece& p : side) out = x.add(out, of(p, rule));
        return out;
    }
};

// A term as the student reads it in a message: ＋3, －2x, ＋2分の1x.
std::string termWords(const Term& t, bool decimals) {
    const Term mag{t.den, std::abs(t.num), KIND_NUMBER};
    std::string s = t.num < 0 ? "－" : "＋";
    if (isLetterKind(t.kind)) {
        if (!unit(t)) s += operandText(mag, decimals);
        s += t.kind;
    } else {
        s += operandText(mag, decimals);
    }
    return s;
}

// A value, or a letter term, with its sign only when negative: 3, －2分の1, 2x.
std::string valueWords(const Term& t, bool decimals) {
    const Term mag{t.den, std::abs(t.num), KIND_NUMBER};
    std::string s = t.num < 0 ? "－" : "";
    if (!isLetterKind(t.kind) || !unit(t)) s += operandText(mag, decimals);
    if (isLetterKind(t.kind)) s += t.kind;
    return s;
}

const char* operationSign(Operation op) {
    switch (op) {
        case Operation::Multiply: return "×";
        case Operation::Divide: return "÷";
        case Operation::Add: return "＋";
        case Operation::Subtract: return "－";
        default: return "";
    }
}

struct Candidate {
    LinearForm left, right;
    std::string message;
};

class Judge {
public:
    Judge(const Sides& source, const Sides& expected, const LineForms& written, Operation op, Term operand, bool decimals)
        : s_(source), e_(expected), w_(written), op_(op), k_(operand), dec_(decimals) {}

    std::pair<Mistake, std::string> name() {
        using M = Mistake;
        const std::pair<M, std::function<std::vector<Candidate>()>> tries[] = {
            {M::TransposeSign, [this] { return transposed(true); }},
            {M::StaySign, [this] { return transposed(false); }},
            {M::OneSide, [this] { return oneSide(); }},
            {M::BracketFirst, [this] { return firstOnly(); }},
            {M::BracketSign, [this] { return signKept(); }},
            {M::CoefAsTerm, [this] { return coefficientAsTerm(); }},
            {M::DivideInverted, [this] { return inverted(); }},
            {M::DenominatorTerm, [this] { return unmultiplied(); }},
            {M::UnlikeTerms, [this] { return joined(); }},
        };
        for (const auto& [mistake, candidates] : tries)
            for (const Candidate& c : candidates())
                if (f_.x.ok && c.left == w_.left && c.right == w_.right) return {mistake, c.message};
        if (const std::string where = reshaped(); !where.empty())
            return {M::Arithmetic, "式の形は合っていますが、" + where + "の計算がちがいます。もう一度計算してください"};
        return {M::Other, "この式は正しくありません。もう一度考えてみましょう"};
    }

private:
    const Sides& s_;
    const Sides& e_;
    const LineForms& w_;
    Operation op_;
    Term k_;
    bool dec_;
    Forms f_;

    // The operation on a side's sums.
    LinearForm apply(const LinearForm& side) {
        const Rational k = f_.value(k_);
        switch (op_) {
            case Operation::Multiply: return f_.x.scale(side, k);
            case Operation::Divide: return f_.x.scale(side, f_.x.div({1, 1}, k));
            case Operation::Add:
            case Operation::Subtract: {
                LinearForm out = side;
                const Rational signedK = op_ == Operation::Add ? k : f_.x.sub({0, 1}, k);
                Rational& part = isLetterKind(k_.kind) ? out.a : out.b;
                part = f_.x.add(part, signedK);
                return out;
            }
            default: return side;
        }
    }

    // 移項: the letters go left and the numbers right, each changing its sign as it crosses.
    // keptSign: the moved terms whose sign stayed; otherwise the staying terms whose sign changed.
    std::vector<Candidate> transposed(bool movedKeptSign) {
        if (op_ != Operation::Transpose) return {};
        struct T {
            Term term;
            bool moves;
        };
        std::vector<T> terms;
        for (const Piece& p : s_.left) terms.push_back({p.term, !isLetterKind(p.term.kind)});
        for (const Piece& p : s_.right) terms.push_back({p.term, isLetterKind(p.term.kind)});
        std::vector<size_t> chosen;
        for (size_t i = 0; i < terms.size(); ++i)
            if (terms[i].moves == movedKeptSign && terms[i].term.num != 0) chosen.push_back(i);
        return subsets(chosen.size(), [&](unsigned mask) {
            Candidate c;
            std::string first;
            for (size_t i = 0; i < terms.size(); ++i) {
                const auto pick = std::find(chosen.begin(), chosen.end(), i);
                const bool wrong = pick != chosen.end() && (mask >> (pick - chosen.begin()) & 1U);
                if (wrong && first.empty()) first = termWords(terms[i].term, dec_);
                Rational v = f_.value(terms[i].term);
                if (terms[i].moves != wrong) v = f_.x.sub({0, 1}, v);
                Rational& part = isLetterKind(terms[i].term.kind) ? c.left.a : c.right.b;
                part = f_.x.add(part, v);
            }
            c.message = movedKeptSign ? first + " を移項するときは、符号を変えます"
                                      : "移項しない項 " + first + " の符号は変わりません";
            return c;
        });
    }

    // Every nonempty subset of n things, smaller ones first (n is capped: a long line is judged
    // by the other rules).
    std::vector<Candidate> subsets(size_t n, const std::function<Candidate(unsigned)>& make) {
        std::vector<Candidate> out;
        if (n == 0 || n > 10) return out;
        std::vector<unsigned> masks;
        for (unsigned m = 1; m < (1U << n); ++m) masks.push_back(m);
        std::stable_sort(masks.begin(), masks.end(), [](unsigned a, unsigned b) { return std::popcount(a) < std::popcount(b); });
        for (unsigned m : masks) out.push_back(make(m));
        return out;
    }

    std::vector<Candidate> oneSide() {
        if (op_ != Operation::Multiply && op_ != Operation::Divide && op_ != Operation::Add && op_ != Operation::Subtract) return {};
        const LinearForm l = f_.of(s_.left), r = f_.of(s_.right);
        const std::string step = std::string(operationSign(op_)) + valueWords(k_, dec_);
        return {{apply(l), r, "両辺に同じ計算をします。右辺にも " + step + " をしてください"},
                {l, apply(r), "両辺に同じ計算をします。左辺にも " + step + " をしてください"}};
    }

    static void groupsOf(const Side& side, Unbracket rule, std::vector<const Piece*>& out) {
        for (const Piece& p : side) {
            if (fits(p, rule)) out.push_back(&p);
            if (p.group) groupsOf(p.inner, rule, out);
        }
    }

    // Some of the groups the rule fits taken apart by it; the message names the first group's
    // second term, the one left as it was.
    std::vector<Candidate> unbracketed(Unbracket rule, const std::string& before, const std::string& after) {
        if (op_ != Operation::Brackets) return {};
        std::vector<const Piece*> groups;
        groupsOf(s_.left, rule, groups);
        groupsOf(s_.right, rule, groups);
        return subsets(groups.size(), [&](unsigned mask) {
            f_.wrong.clear();
            for (size_t i = 0; i < groups.size(); ++i)
                if (mask >> i & 1U) f_.wrong.push_back(groups[i]);
            const Piece& second = f_.wrong.front()->inner[1];
            Candidate c{f_.of(s_.left, rule), f_.of(s_.right, rule),
                        before + (second.group ? std::string("かっこ") : termWords(second.term, dec_)) + after};
            f_.wrong.clear();
            return c;
        });
    }

    std::vector<Candidate> firstOnly() {
        return unbracketed(Unbracket::FirstOnly, "かっこの前の数は、かっこの中のすべての項にかけます（", " にも）");
    }

    std::vector<Candidate> signKept() {
        const std::string before = "かっこの前が－のときは、かっこの中の項の符号をすべて変えます（";
        std::vector<Candidate> out = unbracketed(Unbracket::SignFirstOnly, before, "）");
        for (Candidate& c : unbracketed(Unbracket::SignIgnored, before, "）")) out.push_back(std::move(c));
        return out;
    }

    // ÷k on a·x = b: the side with the letter divided, the other side's number made b − k.
    std::vector<Candidate> coefficientAsTerm() {
        if (op_ != Operation::Divide || isLetterKind(k_.kind)) return {};
        const LinearForm l = f_.of(s_.left), r = f_.of(s_.right);
        const Rational k = f_.value(k_);
        const std::string message = valueWords(k_, dec_) + " は文字の係数です。ひくのではなく、両辺を " +
                                    valueWords(k_, dec_) + " でわります";
        return {{apply(l), {r.a, f_.x.sub(r.b, k)}, message}, {{l.a, f_.x.sub(l.b, k)}, apply(r), message}};
    }

    // ÷k: the side with the letter divided, the other side's number b made k ÷ b.
    std::vector<Candidate> inverted() {
        if (op_ != Operation::Divide || isLetterKind(k_.kind)) return {};
        const LinearForm l = f_.of(s_.left), r = f_.of(s_.right);
        const Rational k = f_.value(k_);
        const std::string message = "わる数とわられる数が逆になっています。" + valueWords(k_, dec_) + " でわります";
        std::vector<Candidate> out;
        if (r.a.num == 0 && r.b.num != 0) out.push_back({apply(l), {{0, 1}, f_.x.div(k, r.b)}, message});
        if (l.a.num == 0 && l.b.num != 0) out.push_back({{{0, 1}, f_.x.div(k, l.b)}, apply(r), message});
        return out;
    }

    // ×m: some terms (a bracket group counts as one) not multiplied.
    std::vector<Candidate> unmultiplied() {
        if (op_ != Operation::Multiply) return {};
        std::vector<std::pair<bool, const Piece*>> pieces;
        for (const Piece& p : s_.left) pieces.push_back({false, &p});
        for (const Piece& p : s_.right) pieces.push_back({true, &p});
        const Rational m = f_.value(k_);
        return subsets(pieces.size(), [&](unsigned mask) {
            Candidate c;
            std::string first;
            for (size_t i = 0; i < pieces.size(); ++i) {
                const bool left = mask >> i & 1U;
                LinearForm v = f_.of(*pieces[i].second, Unbracket::Right);
                if (!left) v = f_.x.scale(v, m);
                else if (first.empty()) first = pieces[i].second->group ? std::string("かっこ") : termWords(pieces[i].second->term, dec_);
                LinearForm& side = pieces[i].first ? c.right : c.left;
                side = f_.x.add(side, v);
            }
            c.message = "両辺のすべての項に " + valueWords(k_, dec_) + " をかけます（" + first + " にも）";
            return c;
        });
    }

    // The result's letter and number joined on a side: 2x+3 written as 5x (or as 5).
    std::vector<Candidate> joined() {
        const LinearForm l = f_.of(e_.left), r = f_.of(e_.right);
        auto ways = [&](const LinearForm& side) {
            std::vector<LinearForm> w{side};
            if (side.a.num != 0 && side.b.num != 0) {
                const Rational sum = f_.x.add(side.a, side.b);
                w.push_back({sum, {0, 1}});
                w.push_back({{0, 1}, sum});
            }
            return w;
        };
        std::vector<Candidate> out;
        const std::string message = "文字の項と数の項はまとめられません";
        for (const LinearForm& a : ways(l))
            for (const LinearForm& b : ways(r))
                if (!(a == l && b == r)) out.push_back({a, b, message});
        return out;
    }

    // The sides whose numbers differ from the result while each has the same parts (a letter
    // term, a number) as the result; "" when the shape differs.
    std::string reshaped() {
        const LinearForm l = f_.of(e_.left), r = f_.of(e_.right);
        const auto shape = [](const LinearForm& f) { return std::pair(f.a.num != 0, f.b.num != 0); };
        if (shape(l) != shape(w_.left) || shape(r) != shape(w_.right)) return "";
        const bool leftWrong = !(l == w_.left), rightWrong = !(r == w_.right);
        return leftWrong && rightWrong ? "両辺" : leftWrong ? "左辺" : "右辺";
    }
};

char letterOf(const EquationLine& l) {
    for (int i = 0; i < l.count; ++i)
        if (isLetterKind(l.terms[static_cast<size_t>(i)].kind)) return l.terms[static_cast<size_t>(i)].kind;
    return '\0';
}

}  // namespace

LineJudgement judgeWrittenLine(Engine& engine, const EquationLine& source, Operation op, Term operand,
                               std::string_view written) {
    LineJudgement j;
    const char sourceLetter = letterOf(source);
    const char letter = sourceLetter ? sourceLetter : engine.letter;
    const bool decimals = engine.hasDecimal;
    constexpr int kSource = 1, kResult = 2, kWritten = 3;
    engine.line(kSource) = source;
    engine.letter = letter;
    engine.targetLine = kResult;
    engine.clearLine(kResult);
    const StepResult step = applyOperation(engine, Step{op, kSource, 0, false, operand, operandText(operand, decimals)});
    if (!step.written) {
        j.verdict = LineJudgement::Verdict::Invalid;
        for (const Diagnostic& d : step.diagnostics) j.message += (j.message.empty() ? "" : "\n") + d.text;
        return j;
    }
    j.expected = engine.line(kResult);

    std::vector<Diagnostic> said;
    const size_t limit = engine.maxEquationBytes;
    engine.maxEquationBytes = 4 * LINE_CAPACITY * 8;  // a student's line is bounded by the table's terms
    engine.letterRequired = false;
    const bool read = engine.parseEquation(kWritten, written, said);
    engine.maxEquationBytes = limit;
    engine.letterRequired = true;
    const char writtenLetter = letterOf(engine.line(kWritten));
    engine.letter = letter;
    engine.hasDecimal = decimals;
    const auto writtenForms = read ? linearForms(engine.line(kWritten)) : std::nullopt;
    if (!writtenForms) {
        j.mistake = Mistake::Unreadable;
        for (const Diagnostic& d : said) j.message += (j.message.empty() ? "" : "\n") + d.text;
        if (j.message.empty()) j.message = "式を読み取れません";
        return j;
    }
    j.written = engine.line(kWritten);
    if (writtenLetter && writtenLetter != letter) {
        j.mistake = Mistake::Other;
        j.message = std::string("文字は ") + letter + " を使います";
        return j;
    }

    const auto sourceSet = solutionSetOf(source);
    const auto writtenSet = solutionSetOf(j.written);
    const auto expectedForms = linearForms(j.expected);
    const auto sourcePieces = piecesOf(source), expectedPieces = piecesOf(j.expected);
    if (sourceSet && writtenSet && *sourceSet == *writtenSet) {
        const bool same = expectedForms && expectedForms->left == writtenForms->left && expectedForms->right == writtenForms->right;
        j.verdict = same ? LineJudgement::Verdict::Accepted : LineJudgement::Verdict::Noted;
        if (!same) j.message = JUDGE_NOTE_OTHER_STEP;
        return j;
    }
    if (!sourcePieces || !expectedPieces) {
        j.mistake = Mistake::Other;
        j.message = "この式は正しくありません。もう一度考えてみましょう";
        return j;
    }
    Judge judge(*sourcePieces, *expectedPieces, *writtenForms, op, operand, decimals);
    std::tie(j.mistake, j.message) = judge.name();
    return j;
}

}  // namespace solvari
