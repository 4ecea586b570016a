#include "bench/report.h"

#include <algorithm>
#include <cmath>

namespace olk::bench {

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

std::string Seconds(std::chrono::duration<double> time, int decimals)
{
    return Fixed(time.count(), decimals);
}

std::string Milliseconds(std::chrono::duration<double> time, int decimals)
{
    return Fixed(time.count() * 1000, decimals);
}

std::string Percent(double fraction, int decimals)
{
    return Fixed(fraction * 100, decimals) + " %";
}

double Percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(share * static_cast<double>(values.size())));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

Table::Table(std::vector<std::string> headings)
{
    rows_.push_back(std::move(headings));
}

void Table::Add(std::vector<std::string> cells)
{
    rows_.push_back(std::move(cells));
}

void Table::Print(std::FILE* out) const
{
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        std::string line = "|";
        for (const std::string& cell : rows_[row])
            line += " " + cell + " |";
        std::fprintf(out, "%s\n", line.c_str());
        if (row == 0) {
            std::string rule = "|";
            for (std::size_t column = 0; column < rows_[0].size(); ++column)
                rule += "---|";
            std::fprintf(out, "%s\n", rule.c_str());
        }
    }
    std::fprintf(out, "\n");
    std::fflush(out);
}

} // namespace olk::bench
