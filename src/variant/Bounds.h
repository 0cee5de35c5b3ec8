#pragma once

#include <QtGlobal>

#include "variant/VbError.h"

namespace zel {

// The longest string the system holds, in characters: one text, one expansion of its
// placeholders, one string received over the bus, one template line. Laying out a text takes
// tens of bytes a character inside Qt, which cannot recover from running out of memory there, so
// anything longer is refused with error 7 before it is copied, stored or drawn.
inline constexpr qsizetype MaxTextLength = qsizetype{1} << 20;

// The most bytes one line read from a file may take before it is decoded: a text within
// MaxTextLength takes at most three bytes a character in UTF-8, so a longer line is refused
// without reading the rest of it.
inline constexpr qsizetype MaxLineBytes = 3 * MaxTextLength;

// 7 for a text, a decoded line or a received value longer than MaxTextLength.
inline void requireTextLength(qsizetype length) {
    if (length > MaxTextLength) throw VbError(VbErr::OutOfMemory);
}

}  // namespace zel
