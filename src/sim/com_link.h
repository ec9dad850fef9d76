// The virtual controller's name in the ports folder: a symbolic link
// COM<n> to the device it serves, which port discovery then lists.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace lumera {

// First number tried when no number is asked for; far above the numbers of
// real ports so the two never meet.
inline constexpr int kFirstSimComNumber = 200;
inline constexpr int kMaxComNumber = 9999;

// Creates `folder`/COM<n> pointing at `device`. With `wanted`, that number
// or nothing (a link whose device is gone is replaced, a live one is left
// alone); without, the first free number from kFirstSimComNumber. Returns
// the number taken.
std::optional<int> RegisterComLink(const std::filesystem::path& folder,
                                   const std::string& device,
                                   std::optional<int> wanted);

// Removes `folder`/COM<n> if it still points at `device` (another program
// may have taken the name since).
void RemoveComLink(const std::filesystem::path& folder, int number,
                   const std::string& device);

}  // namespace lumera
