#include "core/model/command_references.h"

#include <array>

namespace lumera {
namespace {

// By code, so that a whole program is looked through without a search.
constexpr std::array<ReferenceScope, 256> MakeScopes() {
  std::array<ReferenceScope, 256> scopes{};
  for (int code : {22, 25, 26}) {
    scopes[static_cast<std::size_t>(code)] = ReferenceScope::kOwnSegment;
  }
  for (int code : {24, 27, 33}) {
    scopes[static_cast<std::size_t>(code)] = ReferenceScope::kNamedSegment;
  }
  return scopes;
}

constexpr std::array<ReferenceScope, 256> kScopes = MakeScopes();

}  // namespace

ReferenceScope ReferenceScopeOf(std::uint8_t code) { return kScopes[code]; }

}  // namespace lumera
