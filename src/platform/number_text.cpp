// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "number_text.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

namespace {

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// Walks the text with blanks skipped wherever they stand.
class Scanner
{
public:
    explicit Scanner(QStringView text) : text_(text) {}

    char16_t peek()
    {
        while (pos_ < text_.size() && isBlank(text_[pos_].unicode()))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_].unicode() : u'\0';
    }
    void skip() { ++pos_; }

private:
    QStringView text_;
    qsizetype pos_ = 0;
};

// A number beyond a double's range: infinite when its first significant digit stands above the
// units, zero otherwise. Decides which way from_chars fell out of range.
double beyondRange(std::string_view mantissa, long exponent, bool negative)
{
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    const auto first = mantissa.find_first_of("123456789");
    const long order = first < point ? long(point - first) - 1 : -long(first - point);
    const double magnitude = order + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

// The text's value, or nothing when it lies beyond a double's range. Where the C++ library cannot
// read doubles with from_chars (emscripten's), strtod does; the browser's C library knows no
// locale but "C", so its decimal point is the dot there too.
std::optional<double> decimalValue(const std::string &number)
{
    double value = 0.0;
#if defined(__cpp_lib_to_chars)
    const std::from_chars_result read =
        std::from_chars(number.data(), number.data() + number.size(), value);
    if (read.ec == std::errc::result_out_of_range)
        return std::nullopt;
#else
    errno = 0;
    value = std::strtod(number.c_str(), nullptr);
    if (errno == ERANGE)
        return std::nullopt;
#endif
    return value;
}

} // namespace

double readNumber(QStringView text)
{
    Scanner in(text);

    bool negative = false;
    if (in.peek() == u'+' || in.peek() == u'-') {
        negative = in.peek() == u'-';
        in.skip();
    }

    std::string mantissa;
    bool seenDigit = false;
    bool seenPoint = false;
    for (char16_t c = in.peek();; c = in.peek()) {
        if (isDigit(c))
            seenDigit = true;
        else if (c != u'.' || seenPoint)
            break;
        seenPoint = seenPoint || c == u'.';
        mantissa += static_cast<char>(c);
        in.skip();
    }
    if (!seenDigit)
        return 0.0;

    // The exponent counts only when complete: "4e" reads as 4. Saturating keeps a run of digits
    // from overflowing; anything past ±99999 is far outside a double anyway.
    long exponent = 0;
    if (in.peek() == u'e' || in.peek() == u'E') {
        in.skip();
        bool negativeExponent = false;
        if (in.peek() == u'+' || in.peek() == u'-') {
            negativeExponent = in.peek() == u'-';
            in.skip();
        }
        for (char16_t c = in.peek(); isDigit(c); c = in.peek()) {
            exponent = std::min(exponent * 10 + (c - u'0'), 99999L);
            in.skip();
        }
        if (negativeExponent)
            exponent = -exponent;
    }

    const std::string number = mantissa + 'e' + std::to_string(exponent);
    const std::optional<double> value = decimalValue(number);
    if (!value)
        return beyondRange(mantissa, exponent, negative);
    return negative ? -*value : *value;
}

std::optional<std::int16_t> roundToInt16(double value)
{
    // nearbyint follows the current rounding mode, which is round-half-even unless changed.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max()))
        return std::nullopt;
    return static_cast<std::int16_t>(rounded);
}

QString int16Text(std::int16_t value)
{
    return QString::number(value);
}
