// The two readers of outside text: equation texts (questions) and keypad operands. Both run
// on the Shift-JIS bytes of the text, because every limit and position is counted in them.
#include <string>

#include "engine/engine.h"
#include "engine/sjis.h"

namespace solvari {
namespace {

constexpr size_t kMaxEquationBytes = 38;
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
        prompter_->inform(digits + "：エラー！数字は５桁以下です");
        engineError = 999;
        return "";
    }
    if (digits.empty()) prompter_->inform("エラー！数字の表現が不正です");
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
                prompter_->inform("整数部と小数部の合計桁数は５以内です");
                engineError = 1111;
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

bool Engine::parseEquation(int lineIndex, std::string_view text) {
    clearLine(lineIndex);
    engineError = 0;
    tooLong_ = false;
    if (text.empty()) return false;
    // A character Shift-JIS cannot hold becomes two refused bytes, so it is reported where it
    // stands, like any other stray character. The JIS forms Linux input methods type are
    // CP932's characters first.
    const std::string s = toSjisReplacing(toCp932Forms(text), '?');
    if (s.size() > kMaxEquationBytes) {
        prompter_->inform("問題が長すぎます");
        engineError = 111;
        return false;
    }
    hasDecimal = s.find('.') != std::string::npos;
    letter = '@';

    unsigned char prev = '=';
    bool pending = false;
    Term pendingNumber = ONE_TERM;
    int sign = 1;
    int equalsCount = 0;
    // Brackets typed on each side must pair up, or ×, ÷ and かっこ would work on a group
    // that is not there. Corner brackets are only drawn and are not counted.
    std::string openBrackets;
    auto bracketsFail = [&] {
        prompter_->inform(MSG_BRACKETS);
        engineError = ERROR_BRACKETS;
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
            Term t = parseNumber(s, pos);
            if (engineError != 0) return false;
            t.num *= sign;
            sign = 1;
            pendingNumber = t;
            pending = true;
        } else if (isLetter(c)) {
            if (letter != '@' && letter != static_cast<char>(c)) {
                prompter_->inform("文字が多すぎます");
                return false;
            }
            letter = static_cast<char>(c);
            Term coef = pendingNumber;
            if (prev == '=' || prev == '(' || prev == '{' || prev == '[' || prev == kCornerOpen || prev == '+')
                coef = ONE_TERM;
            else if (prev == '-')
                coef = MINUS_ONE_TERM;
            appendTerm(lineIndex, Term{coef.den, coef.num, static_cast<char>(c)});
            pending = false;
        } else if (c == ' ') {
            prompter_->warn("空白があります", "警告");
        } else if (c == '+' || c == '-') {
            if (prev == '+' || prev == '-') {
                engineError = 110;
                return false;
            }
            sign = c == '+' ? 1 : -1;
            if (c == '+' || prev != '=') appendPending(false);
        } else if (c == '=' || isOpening(c)) {
            if (c == '=') {
                ++equalsCount;
                if (!openBrackets.empty()) return bracketsFail();
            } else if (c != kCornerOpen) {
                openBrackets += static_cast<char>(c);
            }
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
            }
            appendPending(false);
            appendTerm(lineIndex, Term{1, 0, static_cast<char>(c)});
            prev = '=';
            continue;
        } else if (c == kMiddleDot) {
            // ignored between a coefficient and the letter
        } else {
            prompter_->inform("不要な文字があります");
            engineError = 110;
            return false;
        }
        prev = c;
    }
    appendPending(false);
    if (!openBrackets.empty()) return bracketsFail();
    if (tooLong_) {
        tooLong_ = false;
        clearLine(lineIndex);
        prompter_->inform(MSG_TOO_LONG);
        return false;
    }
    if (letter == '@') {
        prompter_->inform("moji");
        engineError = 87;
        return false;
    }
    if (equalsCount != 1) {
        prompter_->inform("＝の数が不正です");
        return false;
    }
    return true;
}

bool Engine::digitsToInt(const std::string& part, int& value) {
    value = 0;
    for (unsigned char c : part) {
        if (!isDigit(c)) {
            prompter_->inform(fromSjisLossy(part) + " ←分数の表現があやまりです..");
            return false;
        }
    }
    if (!part.empty()) value = std::stoi(part);
    return true;
}

Term Engine::parseOperand(std::string_view text) {
    if (text.empty()) return ZERO_TERM;
    const std::string shown(text);
    auto encoded = toSjis(toCp932Forms(text));
    if (!encoded) {
        prompter_->inform(shown + " ←分数の表現があやまりです");
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
            prompter_->inform(shown + " ←小数の長さが長すぎます");
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
            prompter_->inform(shown + " ←分数の表現があやまりです");
            return INVALID_TERM;
        }
        if (denText.size() > 4 || numText.size() > 4) {
            prompter_->inform(shown + " ←数値は４桁以下にしてください");
            return INVALID_TERM;
        }
        int den = 0, num = 0;
        if (!digitsToInt(denText, den) || !digitsToInt(numText, num)) return INVALID_TERM;
        if (den == 0) {
            prompter_->inform(shown + " ←分母が０です");
            return INVALID_TERM;
        }
        return Term{den, num * sign, kind};
    }
    if (s.empty()) return INVALID_TERM;
    if (s.size() > 4) {
        prompter_->inform(shown + " ←数値は４桁以下にしてください");
        return INVALID_TERM;
    }
    int v = 0;
    if (!digitsToInt(s, v)) return INVALID_TERM;
    return Term{1, v * sign, kind};
}

}  // namespace solvari
