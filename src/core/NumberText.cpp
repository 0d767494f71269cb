#include "core/NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <string>

namespace {

bool IsBlank(QChar c)
{
    const char16_t u = c.unicode();
    return u == ' ' || (u >= '\t' && u <= '\r');
}

bool IsDigit(QStringView text, qsizetype i)
{
    return i < text.size() && text[i].unicode() >= '0' && text[i].unicode() <= '9';
}

// Index of the first character after the blanks and the sign; negative set
// when the sign was '-'.
qsizetype SkipBlanksAndSign(QStringView text, bool& negative)
{
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    return i;
}

}  // namespace

namespace NumberText {

double ReadDecimalPrefix(QStringView text)
{
    bool negative = false;
    qsizetype i = SkipBlanksAndSign(text, negative);
    std::string scanned;
    bool anyDigit = false;
    // Decimal exponent of the leading digit, to tell overflow from underflow.
    long long magnitude = 0;
    bool seenNonZero = false;
    for (; IsDigit(text, i); ++i) {
        scanned += static_cast<char>(text[i].unicode());
        anyDigit = true;
        if (text[i] != u'0' || seenNonZero) {
            seenNonZero = true;
            ++magnitude;
        }
    }
    if (i < text.size() && text[i] == u'.') {
        scanned += '.';
        ++i;
        for (; IsDigit(text, i); ++i) {
            scanned += static_cast<char>(text[i].unicode());
            anyDigit = true;
            if (!seenNonZero) {
                if (text[i] != u'0') {
                    seenNonZero = true;
                } else {
                    --magnitude;
                }
            }
        }
    }
    if (!anyDigit) {
        return 0.0;
    }
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            exponent += static_cast<char>(text[j].unicode());
            ++j;
        }
        if (IsDigit(text, j)) {
            long long value = 0;
            for (; IsDigit(text, j); ++j) {
                exponent += static_cast<char>(text[j].unicode());
                value = std::min<long long>(value * 10 + (text[j].unicode() - '0'), 1'000'000'000LL);
            }
            scanned += exponent;
            magnitude += exponent[1] == '-' ? -value : value;
        }
    }
    double value = 0.0;
    const auto result = std::from_chars(scanned.data(), scanned.data() + scanned.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = seenNonZero && magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

int ReadIntPrefix(QStringView text)
{
    bool negative = false;
    qsizetype i = SkipBlanksAndSign(text, negative);
    long long value = 0;
    for (; IsDigit(text, i); ++i) {
        value = std::min<long long>(value * 10 + (text[i].unicode() - '0'), 1LL << 32);
    }
    if (negative) {
        value = -value;
    }
    if (value > INT_MAX) {
        return INT_MAX;
    }
    if (value < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

int TruncateToInt(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

}  // namespace NumberText
