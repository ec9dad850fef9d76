// Fixed texts of the configuration page that its buttons and fields carry,
// kept with their exact spacing.
#pragma once

#include <array>
#include <string_view>

namespace lumera {

// Start point n at index n - 1; button 9 has two trailing blanks.
inline constexpr std::array<std::string_view, 16> kStartButtonCaptions = {
    "Start Punkt 1",   "Start Punkt 2",  "Start Punkt 3",  "Start Punkt 4",
    "Start Punkt 5",   "Start Punkt 6",  "Start Punkt 7",  "Start Punkt 8",
    "Start Punkt 9  ", "Start Punkt 10", "Start Punkt 11", "Start Punkt 12",
    "Start Punkt 13",  "Start Punkt 14", "Start Punkt 15", "Start Punkt 16"};

// Tempo n at index n - 1.
inline constexpr std::array<std::string_view, 8> kTempoButtonCaptions = {
    "Tempo 1", "Tempo 2", "Tempo 3", "Tempo 4",
    "Tempo 5", "Tempo 6", "Tempo 7", "Tempo 8"};

inline constexpr std::string_view kIndexModeCaption =
    "Realizacja programów przez indeks";

// What the clock text shows before the page is first filled.
inline constexpr std::string_view kClockUnfilledText = "Real Time";

}  // namespace lumera
