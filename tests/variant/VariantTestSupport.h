#pragma once

#include <gtest/gtest.h>

#include <QLocale>
#include <clocale>
#include <functional>
#include <type_traits>

#include "variant/Variant.h"
#include "variant/VbError.h"

namespace zel::test {

// The error number a call raises, or 0 when it returns normally.
inline int errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const VbError& e) {
        return e.number();
    }
    return 0;
}

// Checks one conversion: the error it raises, or else the value it gives.
template <typename T, typename Convert>
void expectConversion(Convert convert, T expected, int error) {
    T got{};
    EXPECT_EQ(errorOf([&] { got = convert(); }), error);
    if (error != 0) return;
    if constexpr (std::is_floating_point_v<T>) {
        EXPECT_DOUBLE_EQ(got, expected);
    } else {
        EXPECT_EQ(got, expected);
    }
}

// Runs every case under a German default locale (decimal comma, dot grouping), so that a
// conversion that leaned on the locale would show it.
class GermanLocale : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = QLocale();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        std::setlocale(LC_ALL, "de_DE.UTF-8");  // when the machine has it
    }
    void TearDown() override {
        QLocale::setDefault(saved_);
        std::setlocale(LC_ALL, "C");
    }

private:
    QLocale saved_;
};

}  // namespace zel::test

// Printing values in failure messages.
namespace zel {
inline void PrintTo(const Variant& v, std::ostream* os) {
    *os << v.typeName().toStdString();
    try {
        *os << " " << v.toString().toStdString();
    } catch (const VbError&) {
    }
}
}  // namespace zel
