// The two readers of outside text: equation texts (questions) and keypad operands. Both run
// on the Shift-JIS bytes of the text, because every limit and position is counted in them.
#include <string>

#include "engine/engine.h"
#include "engine/sjis.h"

namespace solvari {
namespace {

constexpr unsigned char kCornerOpen = 0xA2;
constexpr unsigned char kCornerClose = 0xA3;
constexpr unsigned char kMiddleDot = 0xA5;
const std::string kBunno = *toSjis("分の");

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isOpening(unsigned char c) { return c == '(' || c == '[' || c == '{' || c == kCornerOpen; }
bool isClosing(unsigned char c) { return c == ')' || c == ']' || c == '}' || c == kCornerClose; }

// Byte at a 1-based position.
unsigned char at(const std::string& s, size_t pos) { return static_cast<unsigned char>(s[pos - 1]); }

}  // namespace

// Reads up to six digits from pos and leaves pos on the last one read. Six digits are one too
// many: reported, with engineError 999. No digit at all is reported too (the callers decide
// what that means). Returns the digits, or "" after either message.
std::string Engine::readDigitRun(const std::string& s, size_t& pos) {
    std::string digits;
    while (digits.size() < 6 && pos <= s.size() && isDigit(at(s, pos))) {
        digits += s[pos - 1];
        ++pos;
    }
    --pos;
    if (digits.size() == 6) {
        engineError = 999;
        tell(digits + "：エラー！数字は５桁以下です", 999, pos);
        return "";
    }
    if (digits.empty()) tell("エラー！数字の表現が不正です", 0, pos + 1);
    return digits;
}

int Engine::readDigits(const std::string& s, size_t& pos) {
    const std::string digits = readDigitRun(s, pos);
    return digits.empty() ? 0 : std::stoi(digits);
}

std::string Engine::readFractionDigits(const std::string& s, size_t& pos) {
    const std::string digits = readDigitRun(s, pos);
    return digits.empty() ? "0" : digits;
}

Term Engine::parseNumber(const std::string& s, size_t& pos) {
    int num = readDigits(s, pos);
    if (engineError != 0) return ZERO_TERM;
    char bar = KIND_NUMBER;
    int den = 1;
    if (pos < s.size()) {
        unsigned char next = at(s, pos + 1);
        if (next == '.') {
            pos += 2;
            std::string decimals = readFractionDigits(s, pos);
            if (engineError != 0) return ZERO_TERM;
            if (std::to_string(num).size() + decimals.size() > 5) {
                engineError = 1111;
                tell("整数部と小数部の合計桁数は５以内です", 1111, pos);
                return ZERO_TERM;
            }
            den = 1;
            for (size_t i = 0; i < decimals.size(); ++i) den *= 10;
            num = std::stoi(decimals) + num * den;
        } else if (next == '/' || next == '|') {
            bar = static_cast<char>(next);
            pos += 2;
            den = readDigits(s, pos);
            if (engineError != 0) return ZERO_TERM;
        }
    }
    if (den == 0) {
        engineError = 998;
        return Term{den, num, KIND_NUMBER};
    }
    return reduceTerm(den, num, bar);
}

void Engine::tell(std::string text, int code, size_t pos) {
    // pos is 1-based (0: no position); a diagnostic counts its byte from 0
    tell(Diagnostic{code, std::move(text), "", Severity::Error, 0, static_cast<int>(pos) - 1, DiagnosticBox::Information});
}

void Engine::tell(Diagnostic d) {
    if (said_) said_->push_back(std::move(d));
    else pending_.push_back(std::move(d));
}

bool Engine::parseEquation(int lineIndex, std::string_view text, std::vector<Diagnostic>& diagnostics) {
    said_ = &diagnostics;
    const bool parsed = readEquation(lineIndex, text);
    said_ = nullptr;
    return parsed;
}

Term Engine::parseOperand(std::string_view text, std::vector<Diagnostic>& diagnostics) {
    said_ = &diagnostics;
    const Term t = readOperand(text);
    said_ = nullptr;
    return t;
}

bool Engine::readEquation(int lineIndex, std::string_view text) {
    clearLine(lineIndex);
    engineError = 0;
    tooLong_ = false;
    if (text.empty()) return false;
    // A character Shift-JIS cannot hold becomes two refused bytes, so it is reported where it
    // stands, like any other stray character. The JIS forms Linux input methods type are
    // CP932's characters first.
    const std::string s = toSjisReplacing(toCp932Forms(text), '?');
    if (s.size() > maxEquationBytes) {
        engineError = 111;
        tell("問題が長すぎます", 111, 0);
        return false;
    }
    hasDecimal = s.find('.') != std::string::npos;
    letter = '@';

    unsigned char prev = '=';
    bool pending = false;
    Term pendingNumber = ONE_TERM;
    int sign = 1;
    int equalsCount = 0;
    // What the last term read was, looking through spaces and middle dots: two of them side by
    // side are a product (x(x+1), (x+1)(x-1), x2, (x+1)x), which no linear drill can hold. Only
    // a number may stand before the letter or a bracket as its coefficient.
    enum class Last { None, Number, Letter, Closing } last = Last::None;
    bool rightSideHasTerm = false;
    auto productFails = [&](size_t pos) {
        engineError = ERROR_PRODUCT;
        tell(MSG_PRODUCT, ERROR_PRODUCT, pos);
        clearLine(lineIndex);
        return false;
    };
    // Brackets typed on each side must pair up, or ×, ÷ and かっこ would work on a group
    // that is not there. Corner brackets are only drawn and are not counted.
    std::string openBrackets;
    auto bracketsFail = [&] {
        engineError = ERROR_BRACKETS;
        tell(MSG_BRACKETS, ERROR_BRACKETS, 0);
        clearLine(lineIndex);
        return false;
    };

    // A bar number keeps its kind only as the coefficient of a bracket group; anywhere else
    // it is an ordinary number (the line operations ignore bar numbers outside a group).
    auto appendPending = [&](bool beforeGroup) {
        if (!pending) return;
        Term t = pendingNumber;
        if (t.kind == KIND_BAR && !beforeGroup) t.kind = KIND_NUMBER;
        appendTerm(lineIndex, t);
        pending = false;
    };

    for (size_t pos = 1; pos <= s.size(); ++pos) {
        unsigned char c = at(s, pos);
        if (isDigit(c)) {
            if (last != Last::None) return productFails(pos);
            last = Last::Number;
            rightSideHasTerm = true;
            Term t = parseNumber(s, pos);
            if (engineError != 0) return false;
            t.num *= sign;
            sign = 1;
            pendingNumber = t;
            pending = true;
        } else if (isLetter(c)) {
            if (letter != '@' && letter != static_cast<char>(c)) {
                tell("文字が多すぎます", 0, pos);
                return false;
            }
            if (last == Last::Letter || last == Last::Closing) return productFails(pos);
            last = Last::Letter;
            rightSideHasTerm = true;
            letter = static_cast<char>(c);
            Term coef = pendingNumber;
            if (prev == '=' || prev == '(' || prev == '{' || prev == '[' || prev == kCornerOpen || prev == '+')
                coef = ONE_TERM;
            else if (prev == '-')
                coef = MINUS_ONE_TERM;
            appendTerm(lineIndex, Term{coef.den, coef.num, static_cast<char>(c)});
            pending = false;
        } else if (c == ' ') {
            tell(Diagnostic{0, "空白があります", "警告", Severity::Warning, 0, static_cast<int>(pos) - 1, DiagnosticBox::Warning});
        } else if (c == '+' || c == '-') {
            if (prev == '+' || prev == '-') {
                engineError = 110;
                return false;
            }
            last = Last::None;
            sign = c == '+' ? 1 : -1;
            if (c == '+' || prev != '=') appendPending(false);
        } else if (c == '=' || isOpening(c)) {
            if (c == '=') {
                ++equalsCount;
                if (!openBrackets.empty()) return bracketsFail();
                rightSideHasTerm = false;
            } else if (c != kCornerOpen) {
                if (last == Last::Letter || last == Last::Closing) return productFails(pos);
                openBrackets += static_cast<char>(c);
                rightSideHasTerm = true;
            }
            last = Last::None;
            if (prev == '+') {
                pendingNumber = ONE_TERM;
                pending = true;
            } else if (prev == '-') {
                pendingNumber = MINUS_ONE_TERM;
                pending = true;
            } else if (prev == '=' && (c == '(' || c == '[' || c == '{')) {
                pendingNumber = ONE_TERM;
                pending = true;
            }
            appendPending(c == '(' || c == '[' || c == '{');
            appendTerm(lineIndex, Term{1, 0, static_cast<char>(c)});
            prev = '=';
            sign = 1;
            continue;
        } else if (isClosing(c)) {
            if (c != kCornerClose) {
                const char expected = c == ')' ? '(' : c == ']' ? '[' : '{';
                if (openBrackets.empty() || openBrackets.back() != expected) return bracketsFail();
                openBrackets.pop_back();
                last = Last::Closing;
            } else {
                last = Last::None;
            }
            appendPending(false);
            appendTerm(lineIndex, Term{1, 0, static_cast<char>(c)});
            prev = '=';
            continue;
        } else if (c == kMiddleDot) {
            // ignored between a coefficient and the letter
        } else {
            engineError = 110;
            tell("不要な文字があります", 110, pos);
            return false;
        }
        prev = c;
    }
    appendPending(false);
    if (!openBrackets.empty()) return bracketsFail();
    if (tooLong_) {
        tooLong_ = false;
        clearLine(lineIndex);
        tell(MSG_TOO_LONG, 0, 0);
        return false;
    }
    if (letter == '@' && letterRequired) {
        engineError = 87;
        tell("moji", 87, 0);
        return false;
    }
    if (equalsCount != 1) {
        tell("＝の数が不正です", 0, 0);
        return false;
    }
    // "2x=" would silently read as 2x=0. An empty left side ("=3x") stays a question of its own.
    if (!rightSideHasTerm) {
        engineError = ERROR_EMPTY_SIDE;
        tell(MSG_EMPTY_SIDE, ERROR_EMPTY_SIDE, s.size());
        clearLine(lineIndex);
        return false;
    }
    return true;
}

bool Engine::digitsToInt(const std::string& part, int& value) {
    value = 0;
    for (unsigned char c : part) {
        if (!isDigit(c)) {
            tell(fromSjisLossy(part) + " ←分数の表現があやまりです..", 0, 0);
            return false;
        }
    }
    if (!part.empty()) value = std::stoi(part);
    return true;
}

Term Engine::readOperand(std::string_view text) {
    if (text.empty()) return ZERO_TERM;
    const std::string shown(text);
    auto encoded = toSjis(toCp932Forms(text));
    if (!encoded) {
        tell(shown + " ←分数の表現があやまりです", 0, 0);
        return INVALID_TERM;
    }
    std::string s = *encoded;
    const std::string letterText(1, letter);
    if (s == letterText) return Term{1, 1, letter};
    if (s == "-" + letterText) return Term{1, -1, letter};

    int sign = 1;
    if (s[0] == '-') {
        s.erase(0, 1);
        sign = -1;
    }
    char kind = KIND_NUMBER;
    if (!s.empty() && s.back() == letter) {
        kind = letter;
        s.pop_back();
    }

    if (size_t dot = s.find('.'); dot != std::string::npos) {
        std::string intPart = s.substr(0, dot);
        std::string decPart = s.substr(dot + 1, 20);
        if (intPart.size() + decPart.size() > 6) {
            tell(shown + " ←小数の長さが長すぎます", 0, 0);
            return INVALID_TERM;
        }
        int iv = 0, dv = 0;
        if (!digitsToInt(intPart, iv) || !digitsToInt(decPart, dv)) return INVALID_TERM;
        int den = 1;
        for (size_t i = 0; i < decPart.size(); ++i) den *= 10;
        Term t = reduceTerm(den, (iv * den + dv) * sign, kind);
        return t;
    }
    if (size_t at = s.find(kBunno); at != std::string::npos) {
        std::string denText = s.substr(0, at);
        std::string numText = s.substr(at + kBunno.size(), 20);
        if (denText.empty() || numText.empty()) {
            tell(shown + " ←分数の表現があやまりです", 0, 0);
            return INVALID_TERM;
        }
        if (denText.size() > 4 || numText.size() > 4) {
            tell(shown + " ←数値は４桁以下にしてください", 0, 0);
            return INVALID_TERM;
        }
        int den = 0, num = 0;
        if (!digitsToInt(denText, den) || !digitsToInt(numText, num)) return INVALID_TERM;
        if (den == 0) {
            tell(shown + " ←分母が０です", 0, 0);
            return INVALID_TERM;
        }
        return Term{den, num * sign, kind};
    }
    if (s.empty()) return INVALID_TERM;
    if (s.size() > 4) {
        tell(shown + " ←数値は４桁以下にしてください", 0, 0);
        return INVALID_TERM;
    }
    int v = 0;
    if (!digitsToInt(s, v)) return INVALID_TERM;
    return Term{1, v * sign, kind};
}

}  // namespace solvari
