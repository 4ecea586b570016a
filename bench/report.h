#pragma once
// The figures as markdown tables, the way the README shows them.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace olk::bench {

std::string Seconds(std::chrono::duration<double> time, int decimals = 2);
std::string Milliseconds(std::chrono::duration<double> time, int decimals = 2);
std::string Percent(double fraction, int decimals = 1);
std::string Fixed(double value, int decimals);

// The value below which the given share of the values lie (0.5 for the median); 0 for none.
double Percentile(std::vector<double> values, double share);

class Table {
public:
    explicit Table(std::vector<std::string> headings);
    void Add(std::vector<std::string> cells);
    void Print(std::FILE* out) const; // flushed, so that a long run shows each table as it ends

private:
    std::vector<std::vector<std::string>> rows_;
};

} // namespace olk::bench
