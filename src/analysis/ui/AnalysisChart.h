#pragma once

class QChart;
struct AnalysisFigures;

// The chart of a picture, drawn from the same figures as the table beside it.
class AnalysisChart
{
public:
    // A new chart for the view to own.
    static QChart* build(const AnalysisFigures& figures);
};
