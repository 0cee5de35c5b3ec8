// The dynamic value's conversions from text: every conversion of a string, and of the number
// or date it yields, either gives a value or fails with a platform error. A number's own text
// form converts back to the same number.
#include <cmath>
#include <cstdlib>

#include "FuzzInput.h"
#include "variant/Variant.h"
#include "variant/VbError.h"

namespace {

template <typename F>
void tryConversion(F&& conversion) {
    try {
        conversion();
    } catch (const zel::VbError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    const zel::Variant text(in.text());
    tryConversion([&] { text.toInteger(); });
    tryConversion([&] { text.toLong(); });
    tryConversion([&] { text.toSingle(); });
    tryConversion([&] { text.toCurrencyScaled(); });
    tryConversion([&] { text.toBoolean(); });
    tryConversion([&] { zel::Variant::Date(text.toDate()).toString(); });
    tryConversion([&] { zel::Int(text); });
    tryConversion([&] { zel::compare(text, zel::Variant::Double(in.number<double>())); });
    tryConversion([&] {
        const double number = text.toDouble();
        const zel::Variant back(zel::Variant::Double(number).toString());
        // Double's text keeps 15 significant digits.
        const double again = back.toDouble();
        if (std::fabs(again - number) > std::fabs(number) * 1e-14) std::abort();
    });
    return 0;
}
