#pragma once
#include <cstdint>

namespace solvari {

// Wide integer for exact intermediates; results are checked before they return to 32 bits.
__extension__ typedef __int128 Wide;

// Kinds of a term. Only the low byte of a kind is meaningful.
constexpr char KIND_NUMBER = '/';
constexpr char KIND_BAR = '|';
constexpr char KIND_EQUALS = '=';
constexpr char KIND_CORNER_OPEN = static_cast<char>(0xA2);   // half-width ｢
constexpr char KIND_CORNER_CLOSE = static_cast<char>(0xA3);  // half-width ｣

// One exact signed fraction. Invariants kept by every operation the engine performs on
// valid input: den > 0; the sign lives in num; |num| and den fit in 31 bits (INT32_MIN never
// appears, so negating num is always safe). Zero is NOT normalised (0/5 stays 0/5) and a
// fraction typed on the keypad stays unreduced (2/4) until it enters an operation.
struct Term {
    int32_t den = 0;
    int32_t num = 0;
    char kind = KIND_NUMBER;
};

constexpr Term ZERO_TERM{1, 0, KIND_NUMBER};
constexpr Term ONE_TERM{1, 1, KIND_NUMBER};
constexpr Term MINUS_ONE_TERM{1, -1, KIND_NUMBER};
constexpr Term INVALID_TERM{0, 0, KIND_NUMBER};  // failure result of the operand parser

inline bool isLetterKind(char k) { return (k >= 'A' && k <= 'Z') || (k >= 'a' && k <= 'z'); }
inline bool isOpenBracket(char k) { return k == '(' || k == '[' || k == '{'; }
inline bool isCloseBracket(char k) { return k == ')' || k == ']' || k == '}'; }
// Numbers, bar numbers and letter terms have a value; '=', brackets and corner brackets are
// structure and pass through arithmetic untouched.
inline bool carriesValue(char k) { return k == KIND_NUMBER || k == KIND_BAR || isLetterKind(k); }

// The kind '_' is stored as '/'.
Term makeTerm(int32_t num, int32_t den, char kind);

// 0 when either argument is 0, else the gcd of the absolute values.
int64_t gcd(int64_t a, int64_t b);

// den and num divided by their gcd when it is above 1. A zero numerator leaves the term
// unchanged, and so does a negative denominator's sign (only invalid input makes one).
Term reduceTerm(int32_t den, int32_t num, char kind);

// Field-by-field comparison (1/2 and 2/4 differ); the kind is ignored.
bool termsEqual(Term a, Term b);

// Comparison by value: 0/2 equals 0/1. Both terms must have den != 0.
bool sameValue(Term a, Term b);

}  // namespace solvari
