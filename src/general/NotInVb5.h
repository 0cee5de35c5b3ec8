#pragma once

#include "variant/Variant.h"

// Small numeric helpers the windows' layout uses.
namespace zel::NotInVb5 {

// The largest (MaxOf) or smallest (MinOf) of A, B and those of C to H that are given,
// compared as the platform compares; on a tie the earlier value is the one returned.
Variant MaxOf(const Variant& A, const Variant& B, const Variant& C = Variant::Missing(),
              const Variant& D = Variant::Missing(), const Variant& E = Variant::Missing(),
              const Variant& F = Variant::Missing(), const Variant& G = Variant::Missing(),
              const Variant& H = Variant::Missing());
Variant MinOf(const Variant& A, const Variant& B, const Variant& C = Variant::Missing(),
              const Variant& D = Variant::Missing(), const Variant& E = Variant::Missing(),
              const Variant& F = Variant::Missing(), const Variant& G = Variant::Missing(),
              const Variant& H = Variant::Missing());

}  // namespace zel::NotInVb5
