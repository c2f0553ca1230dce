#include "tools/benchmark/BenchTable.h"

#include <algorithm>
#include <cstdio>

namespace {

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

}  // namespace

void CBenchRow::Add(double programMs, double referenceMs)
{
    m_program.push_back(programMs);
    m_reference.push_back(referenceMs);
}

void CBenchRow::PrintHeader(int runs)
{
    std::printf("%-58s %11s %11s %9s %9s   (%d runs)\n", "", "program ms", "reference", "ratio min", "median",
                runs);
}

void CBenchRow::Print() const
{
    std::vector<double> ratios;
    for (size_t i = 0; i < m_program.size(); ++i) {
        if (m_reference[i] > 0.0)
            ratios.push_back(m_program[i] / m_reference[i]);
    }
    const double minimum = ratios.empty() ? 0.0 : *std::min_element(ratios.begin(), ratios.end());
    std::printf("%-58s %11.3f %11.3f %9.2f %9.2f\n", m_name.c_str(), Median(m_program), Median(m_reference),
                minimum, Median(ratios));
    std::fflush(stdout);
}

double CBenchRow::GetProgramMedian() const { return Median(m_program); }

void CBenchRow::PrintValue(const std::string& name, double value)
{
    std::printf("%-58s %11.1f\n", name.c_str(), value);
    std::fflush(stdout);
}
