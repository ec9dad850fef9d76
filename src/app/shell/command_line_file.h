// The program file a user may name on the command line.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace lumera {

// Longest name the settings keep for a program file.
inline constexpr std::size_t kProgramFileNameMax = 259;

// The command line as one text: the arguments after the program's own name,
// joined by single spaces.
std::string JoinCommandLine(int argc, const char* const* argv);

// Takes "--site FILE" or "--site=FILE" out of the arguments (the last one
// given counts), so that what is left is the command line a program file is
// taken from and Qt never sees the option. The file is made absolute at
// once, before the program may move to its own folder. Nothing when none is
// given.
std::optional<std::string> TakeSiteOption(int& argc, char** argv);

// The name taken from a command line: everything up to and including the
// first ".prg" (or, when there is none, the first ".PRG"; the search is
// case-sensitive), without a leading double quote. Nothing when neither form
// occurs, and nothing when the name is longer than kProgramFileNameMax: a
// name that long cannot be kept, and a cut one would name another file.
std::optional<std::string> ProgramFileFromCommandLine(
    std::string_view command_line);

// The command line with its program file named by an absolute path, for a
// start that moves to its own folder before it opens the file: a name given
// relative to the folder the start happened in still names that file.
// Unchanged when it names no program file or an absolute one.
std::string AnchorProgramFile(std::string command_line);

// Whether `path` names a file that can be opened for reading.
bool ProgramFileReadable(const std::string& path);

}  // namespace lumera
