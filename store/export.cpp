// Field formatting for table dumps (see export.h).
#include "store/export.h"

#include "store/text.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace wl::store {
namespace {

template <typename T>
T Get(const std::string& b) {
    T v{};
    std::memcpy(&v, b.data(), std::min(sizeof v, b.size()));
    return v; // little-endian hosts only, like every target of this program
}

// Days since 1899-12-30 (the fraction is the time of day) as mm/dd/yy hh:mm:ss.
std::string FormatDate(double v) {
    if (!std::isfinite(v) || std::fabs(v) > 3.0e6) return {};
    double day = v >= 0 ? std::floor(v) : std::ceil(v);
    long long secs = std::llround(std::fabs(v - day) * 86400.0);
    long long days = (long long)day;
    if (secs >= 86400) secs -= 86400, days += 1;
    // Civil date from days since 1970-01-01 (1899-12-30 is day -25569).
    long long z = days - 25569 + 719468;
    long long era = (z >= 0 ? z : z - 146096) / 146097;
    long long doe = z - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400, doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153, d = doy - (153 * mp + 2) / 5 + 1, m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2) ++y;
    char buf[128];
    std::snprintf(buf, sizeof buf, "%02lld/%02lld/%02lld %02lld:%02lld:%02lld", m, d, ((y % 100) + 100) % 100,
                  secs / 3600, secs / 60 % 60, secs % 60);
    return buf;
}

// A 128-bit magnitude (four 32-bit words, most significant first) with a sign byte and a scale.
std::string FormatNumeric(const std::string& b, unsigned scale) {
    if (b.size() < 17) return {};
    uint32_t w[4];
    for (int i = 0; i < 4; ++i) std::memcpy(&w[i], b.data() + 1 + 4 * i, 4);
    std::string digits;
    while (w[0] | w[1] | w[2] | w[3]) {
        uint64_t rem = 0;
        for (int i = 0; i < 4; ++i) {
            uint64_t cur = rem << 32 | w[i];
            w[i] = uint32_t(cur / 10);
            rem = cur % 10;
        }
        digits.push_back(char('0' + rem));
    }
    std::reverse(digits.begin(), digits.end());
    if (digits.size() <= scale) digits = std::string(scale + 1 - digits.size(), '0') + digits;
    std::string out = (static_cast<unsigned char>(b[0]) & 0x80) ? "-" : "";
    out.append(digits, 0, digits.size() - scale);
    if (scale > 0) out.append(".").append(digits, digits.size() - scale, scale);
    return out;
}

std::string FormatMoney(int64_t v) {
    bool neg = v < 0;
    uint64_t m = neg ? uint64_t(0) - uint64_t(v) : uint64_t(v);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%" PRIu64 ".%04u", neg ? "-" : "", m / 10000, unsigned(m % 10000));
    return buf;
}

} // namespace

std::string FormatField(const Column& column, const RawField& field) {
    char buf[64];
    switch (ColumnType(column.type)) {
    case ColumnType::Bool: return field.flag ? "1" : "0";
    default: break;
    }
    if (field.null) return {};
    const std::string& b = field.bytes;
    switch (ColumnType(column.type)) {
    case ColumnType::Byte: return std::to_string(unsigned(Get<uint8_t>(b)));
    case ColumnType::Int: return std::to_string(Get<int16_t>(b));
    case ColumnType::Long: return std::to_string(Get<int32_t>(b));
    case ColumnType::Money: return FormatMoney(Get<int64_t>(b));
    case ColumnType::Float: std::snprintf(buf, sizeof buf, "%g", double(Get<float>(b))); return buf;
    case ColumnType::Double: std::snprintf(buf, sizeof buf, "%.15g", Get<double>(b)); return buf;
    case ColumnType::DateTime: return FormatDate(Get<double>(b));
    case ColumnType::Numeric: return FormatNumeric(b, column.scale);
    case ColumnType::Guid: {
        if (b.size() < 16) return {};
        const auto* g = reinterpret_cast<const unsigned char*>(b.data());
        std::snprintf(buf, sizeof buf, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g[3], g[2],
                      g[1], g[0], g[5], g[4], g[7], g[6], g[8], g[9], g[10], g[11], g[12], g[13], g[14], g[15]);
        return buf;
    }
    case ColumnType::Text:
    case ColumnType::Memo:
        return Utf16ToUtf8(DecodeJetText(reinterpret_cast<const uint8_t*>(b.data()), b.size()));
    default: return b; // binary, long binary and unknown types: the bytes as they are
    }
}

void ExportTsv(const Table& table, std::ostream& out) {
    const auto& cols = table.Columns();
    for (size_t r = 0; r < table.RowCount(); ++r) {
        for (size_t c = 0; c < cols.size(); ++c) {
            if (c) out.put('\t');
            out << FormatField(cols[c], table.Field(r, c));
        }
        out.put('\n');
    }
}

} // namespace wl::store
