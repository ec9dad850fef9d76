// What each fuzz target defines: one run over one input, given as bytes.
// fuzz_input.cpp hands it every input libFuzzer or the replay driver reads.
#pragma once

#include <string_view>

namespace lumera {

void FuzzInput(std::string_view bytes);

}  // namespace lumera
