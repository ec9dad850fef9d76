// lumera-cli run as a process in a temporary folder, against lumera-sim on
// a pseudo-terminal registered in that folder's ports folder.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace lumera::e2e {

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct CliResult {
  int exit_code = -1;
  std::string out;
  std::string err;
};

// A temporary folder: the working directory of the command line, with the
// ports folder of both programs inside it.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (fs::temp_directory_path() / "lumera-e2e-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
    fs::create_directories(xdg());
  }
  ~TempFolder() {
    std::error_code error;
    fs::remove_all(path_, error);
  }
  const fs::path& path() const { return path_; }
  fs::path xdg() const { return path_ / "xdg"; }

 private:
  fs::path path_;
};

// lumera-sim serving a new pseudo-terminal, registered as COM<n> in the
// folder's ports folder; stopped with SIGTERM.
class Sim {
 public:
  Sim(const TempFolder& folder, std::vector<std::string> args) {
    int out[2];
    if (pipe(out) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      setenv("XDG_CONFIG_HOME", folder.xdg().c_str(), 1);
      std::vector<char*> argv;
      std::string program = LUMERA_SIM_PATH;
      argv.push_back(program.data());
      for (std::string& arg : args) argv.push_back(arg.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    out_fd_ = out[0];
    // The ready line: "<device> COM<n>".
    std::string line;
    char c;
    while (read(out_fd_, &c, 1) == 1 && c != '\n') line += c;
    const std::size_t com = line.rfind(" COM");
    if (com != std::string::npos) port_ = std::stoi(line.substr(com + 4));
    device_ = line.substr(0, line.find(' '));
  }
  ~Sim() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      int status = 0;
      waitpid(pid_, &status, 0);
    }
    if (out_fd_ >= 0) close(out_fd_);
  }
  // "--port N" for the command line; 0 when the simulator did not start.
  int port() const { return port_; }
  pid_t pid() const { return pid_; }
  // Stops and resumes the simulator (a controller that falls silent).
  void Pause() const { kill(pid_, SIGSTOP); }
  void Resume() const { kill(pid_, SIGCONT); }
  // The pseudo-terminal it serves.
  const std::string& device() const { return device_; }

  // Waits up to `timeout_ms` for the simulator to print the line `want`
  // (its fault announcements); false when it did not.
  bool WaitForLine(std::string_view want, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(timeout_ms);
    std::string line;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      pollfd p{out_fd_, POLLIN, 0};
      if (left.count() <= 0 ||
          poll(&p, 1, static_cast<int>(left.count())) <= 0) {
        return false;
      }
      char c;
      if (read(out_fd_, &c, 1) != 1) return false;
      if (c != '\n') {
        line += c;
      } else if (line == want) {
        return true;
      } else {
        line.clear();
      }
    }
  }

 private:
  std::string device_;
  pid_t pid_ = -1;
  int out_fd_ = -1;
  int port_ = 0;
};

// In a forked child: runs lumera-cli with `args` in `folder`, with the
// folder's own ports; standard output and error are the caller's to set.
[[noreturn]] inline void ExecCliInChild(const TempFolder& folder,
                                        std::vector<std::string> args) {
  if (chdir(folder.path().c_str()) != 0) _exit(126);
  setenv("XDG_CONFIG_HOME", folder.xdg().c_str(), 1);
  std::string program = LUMERA_CLI_PATH;
  std::vector<char*> argv;
  argv.push_back(program.data());
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  execv(program.c_str(), argv.data());
  _exit(127);
}

inline CliResult RunCliProcess(const TempFolder& folder,
                               std::vector<std::string> args) {
  const fs::path out_file = folder.path() / "cli.out";
  const fs::path err_file = folder.path() / "cli.err";
  const pid_t pid = fork();
  if (pid == 0) {
    const int out = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    ExecCliInChild(folder, std::move(args));
  }
  CliResult result;
  int status = 0;
  waitpid(pid, &status, 0);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadAll(out_file);
  result.err = ReadAll(err_file);
  return result;
}

inline std::vector<std::string> WithPort(const Sim& sim,
                                         std::vector<std::string> args) {
  args.insert(args.begin(), {"--port", std::to_string(sim.port())});
  return args;
}

}  // namespace lumera::e2e
