#include "core/numbers.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

bool IsDigit(QChar c) { return c.unicode() >= u'0' && c.unicode() <= u'9'; }

// Formats |x| with `digits` significant digits in the style of the classic BASIC number text.
QString FormatSignificant(double x, int digits) {
    if (x == 0.0) return QStringLiteral("0");
    if (std::isnan(x)) return QStringLiteral("NaN");
    const bool negative = x < 0;
    const double mag = std::fabs(x);
    if (std::isinf(mag)) return negative ? QStringLiteral("-Inf") : QStringLiteral("Inf");

    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::scientific, digits - 1);
    std::string s(buf, res.ptr);
    const auto epos = s.find('e');
    std::string mant = s.substr(0, epos);
    const int exp = std::stoi(s.substr(epos + 1));
    std::string ds;  // significant digits without the point
    for (char c : mant)
        if (c != '.') ds.push_back(c);
    while (ds.size() > 1 && ds.back() == '0') ds.pop_back();

    std::string out;
    if (exp < -4 || exp >= digits) {
        out = ds.substr(0, 1);
        if (ds.size() > 1) out += "." + ds.substr(1);
        out += 'E';
        out += exp < 0 ? '-' : '+';
        const int a = exp < 0 ? -exp : exp;
        if (a < 10) out += '0';
        out += std::to_string(a);
    } else if (exp < 0) {
        out = "." + std::string(static_cast<size_t>(-exp - 1), '0') + ds;
    } else {
        const size_t intDigits = static_cast<size_t>(exp) + 1;
        if (ds.size() <= intDigits) {
            out = ds + std::string(intDigits - ds.size(), '0');
        } else {
            out = ds.substr(0, intDigits) + "." + ds.substr(intDigits);
        }
    }
    if (negative) out.insert(out.begin(), '-');
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

}  // namespace

double ParseNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    if (i + 1 < n && text[i] == u'&' && (text[i + 1] == u'H' || text[i + 1] == u'h')) {
        i += 2;
        double v = 0;
        for (; i < n; ++i) {
            const int d = HexDigit(text[i]);
            if (d < 0) break;
            v = v * 16 + d;
        }
        return v;
    }
    std::string num;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) num.push_back(static_cast<char>(text[i++].unicode()));
    bool anyDigit = false;
    while (i < n && IsDigit(text[i])) { num.push_back(static_cast<char>(text[i++].unicode())); anyDigit = true; }
    if (i < n && text[i] == u'.') {
        num.push_back('.');
        ++i;
        while (i < n && IsDigit(text[i])) { num.push_back(static_cast<char>(text[i++].unicode())); anyDigit = true; }
    }
    if (!anyDigit) return 0;
    if (i < n && (text[i] == u'E' || text[i] == u'e')) {
        qsizetype j = i + 1;
        std::string e = "e";
        if (j < n && (text[j] == u'-' || text[j] == u'+')) e.push_back(static_cast<char>(text[j++].unicode()));
        bool expDigit = false;
        while (j < n && IsDigit(text[j])) { e.push_back(static_cast<char>(text[j++].unicode())); expDigit = true; }
        if (expDigit) num += e;
    }
    const char* first = num.data();
    if (*first == '+') ++first;
    double v = 0;
    auto res = std::from_chars(first, num.data() + num.size(), v);
    if (res.ec == std::errc::result_out_of_range) {
        // from_chars leaves v untouched on overflow or underflow: decide which it was.
        const auto epos = num.find('e');
        const bool tiny = epos != std::string::npos && num.find('-', epos) != std::string::npos;
        v = tiny ? 0.0 : HUGE_VAL;
        if (num[0] == '-') v = -v;
    }
    return v;
}

QString NumberText(float x) { return FormatSignificant(static_cast<double>(x), 7); }
QString NumberText(double x) { return FormatSignificant(x, 15); }
QString NumberText(int x) { return QString::number(x); }

QString HexText(int64_t x) {
    uint64_t u = x < 0 ? static_cast<uint32_t>(static_cast<int32_t>(x)) : static_cast<uint64_t>(x);
    return QString::number(u, 16).toUpper();
}

QString HexString(int32_t value) {
    return (value >= 0 && value < 16 ? QStringLiteral("0x0") : QStringLiteral("0x")) + HexText(value);
}

QString TwoDigitHex(int value) {
    const QString h = HexText(value);
    return h.size() < 2 ? QStringLiteral("0") + h : h;
}

QString LiveValueText(float value, const QString& unit) {
    if (value == 0) value = 0;
    return (value < 0 ? QString() : QStringLiteral(" ")) + NumberText(value) + unit;
}

double RoundHalfEven(double x, int n) {
    // The readings round on every poll: the exact powers of ten from a table, not from pow.
    static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const double scale = n >= 0 && n <= 22 ? kPowers[n] : std::pow(10.0, n);
    const double y = x * scale;
    double r = std::floor(y);
    const double diff = y - r;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(r, 2.0) != 0.0)) r += 1.0;
    return r / scale;
}
