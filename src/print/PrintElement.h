#pragma once

#include <QString>
#include <cstdint>
#include <vector>

#include "variant/Variant.h"

namespace zel {

// The record of one drawn element, shared by the header store, the body store and the
// watermark. Fields a kind does not use keep their zero value.
struct PrintElement {
    uint8_t Soort = 0;  // 1 text, 2 box, 3 line, 4 watermark
    double Regel = 0;   // text: Regel; line/box: RegelVan; watermark: FontSizeScherm;
                        // element 0 of the body store: the page's start line
    double RegelTot = 0;
    double Positie = 0;  // text: Positie; line/box: PositieVan; watermark: FontSizePrinter
    double PositieTot = 0;
    int32_t Kleur = 0;
    bool FillArea = false;
    int32_t Dikte = 0;
    Variant DrawMode;  // as resolved: the caller's value, or Integer 13/14; Missing in headers
    QString Tekst;     // unexpanded
    int16_t HorLinesOn = 0;    // element 0 of the body store only
    int16_t CrossLinesOn = 0;  // element 0 of the body store only
};

// A growable array of elements with a fixed lower bound (0 for the body store, 1 for the
// header store), that may not exist yet. Indexing outside raises 9.
class ElementStore {
public:
    explicit ElementStore(int lowerBound) : lower_(lowerBound) {}

    bool exists() const { return exists_; }
    int lowerBound() const { return lower_; }
    int upperBound() const { return lower_ + static_cast<int>(items_.size()) - 1; }

    // Re-creates the store with indexes lowerBound..upper, all zero.
    void recreate(int32_t upper);
    // Resizes to lowerBound..upper keeping contents; 9 when upper < lowerBound, 7 when the
    // store would pass MaxElements.
    void resizePreserve(int32_t upper);

    PrintElement& at(int32_t index);  // 9 outside the bounds
    const PrintElement& at(int32_t index) const;

    static constexpr int32_t MaxElements = 1000000;

private:
    int lower_;
    bool exists_ = false;
    std::vector<PrintElement> items_;
};

}  // namespace zel
