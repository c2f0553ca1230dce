#pragma once

#include <string>
#include <vector>

// One line of the benchmark's table: the program's time and the reference's,
// taken side by side in every run, and their ratio (program / reference).
// The machine is shared and noisy, so the table gives the minimum and the
// median of the ratios over the runs; the times are the medians.
class CBenchRow
{
public:
    explicit CBenchRow(std::string name) : m_name(std::move(name)) {}

    void Add(double programMs, double referenceMs);
    // The column headings.
    static void PrintHeader(int runs);
    void Print() const;
    double GetProgramMedian() const;
    // A line of one figure under the program column.
    static void PrintValue(const std::string& name, double value);

private:
    std::string m_name;
    std::vector<double> m_program;
    std::vector<double> m_reference;
};
