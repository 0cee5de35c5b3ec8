#pragma once

#include <QString>
#include <vector>

struct UBiDi;

namespace zel {

// A stretch of a text in one direction: UTF-16 units [start, start + length).
struct BidiRun {
    int start;
    int length;
    bool rightToLeft;
};

// The directional runs of a text in the order they are shown left to right (the bidirectional
// algorithm). The paragraph is left to right, as the grid is: a text that starts in Arabic
// keeps its other parts where a left-to-right reader looks for them.
class BidiRuns {
public:
    BidiRuns();
    ~BidiRuns();
    BidiRuns(const BidiRuns&) = delete;
    BidiRuns& operator=(const BidiRuns&) = delete;

    // The runs of the text, replacing the previous result.
    const std::vector<BidiRun>& of(const QString& text);

private:
    UBiDi* bidi_;
    std::vector<BidiRun> runs_;
};

}  // namespace zel
