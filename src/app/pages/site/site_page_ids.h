// Ids of the site page's controls. Each widget carries its id as the dynamic
// property "controlId", so tests and tools find it by number.
#pragma once

#include <array>

namespace lumera::site_page_ids {

inline constexpr int kDialog = 110;
// Apart from every other page's, so that a control is found by its id alone.

// The site file.
inline constexpr int kOpen = 2101;      // "Otwórz…"
inline constexpr int kNew = 2102;       // "Nowy…"
inline constexpr int kSave = 2103;      // "Zapisz"
inline constexpr int kSiteFile = 2104;  // "Plik obiektu"
// What keeps a file from opening or from being saved.
inline constexpr int kFaults = 2105;  // "Błędy pliku obiektu"
// The views below: "Sterowniki", "Linie", "Dziennik".
inline constexpr int kViews = 2106;

// "Linie": the lines of the file.
inline constexpr int kLines = 2110;
inline constexpr int kAddLine = 2111;     // "Dodaj linię"
inline constexpr int kRemoveLine = 2112;  // "Usuń linię"
inline constexpr int kProgram = 2113;     // "Program…"

// "Sterowniki": the installation and the jobs over it.
inline constexpr int kInstallation = 2120;
inline constexpr int kStatus = 2121;    // "Stan"
inline constexpr int kUpload = 2122;    // "Wyślij"
inline constexpr int kVerify = 2123;    // "Sprawdź"
inline constexpr int kBackup = 2124;    // "Kopia…"
inline constexpr int kClockSet = 2125;  // "Ustaw zegary"
inline constexpr int kResume = 2126;    // "Wznów"
inline constexpr int kAbort = 2127;     // "Przerwij"
inline constexpr int kReport = 2128;    // "Raport…"
// A button for each site command, in the order of the core's table.
inline constexpr std::array<int, 5> kCommandButtons = {
    kStatus, kUpload, kVerify, kBackup, kClockSet};
inline constexpr std::array<int, 8> kJobButtons = {
    kStatus, kUpload, kVerify, kBackup, kClockSet, kResume, kAbort, kReport};

// While a run goes on and after it: a bar for each line, then what the
// run came to.
inline constexpr int kRunProgress = 2140;
inline constexpr int kSummary = 2141;  // "Wynik zadania"

// "Dziennik", narrowed to one line and one controller.
inline constexpr int kJournal = 2130;
inline constexpr int kJournalLine = 2131;        // "Linia:"
inline constexpr int kJournalController = 2132;  // "Sterownik:"

}  // namespace lumera::site_page_ids
