#pragma once

// Runs the built tavora-cli in a shell and captures its exit status, standard output and
// standard error (through files in the test's folder).

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "TestFolders.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace tavora::test {

struct TCliResult {
  int ExitCode = -1;
  std::string Out;
  std::string Err;
};

inline std::string ReadWholeFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string Quote(const std::filesystem::path& p) { return "\"" + p.string() + "\""; }

// Runs `tavora-cli Args` in WorkDir with standard input from StdinFile (empty: no input),
// keeping the captured streams in Scratch.
inline TCliResult RunCli(const std::string& Args, const std::filesystem::path& WorkDir,
                         const std::filesystem::path& Scratch,
                         const std::filesystem::path& StdinFile = {}) {
  const std::filesystem::path out = Scratch / "cli-stdout.txt";
  const std::filesystem::path err = Scratch / "cli-stderr.txt";
#ifdef _WIN32
  const std::string cd = "cd /d ";
  const std::string nothing = "NUL";
#else
  const std::string cd = "cd ";
  const std::string nothing = "/dev/null";
#endif
  std::string command = cd + Quote(WorkDir) + " && " + Quote(TAVORA_CLI) + " " + Args + " <" +
                        (StdinFile.empty() ? nothing : Quote(StdinFile)) + " >" + Quote(out) +
                        " 2>" + Quote(err);
#ifdef _WIN32
  command = "\"" + command + "\"";  // cmd /c strips one pair of quotes
#endif
  const int status = std::system(command.c_str());
  TCliResult r;
#ifdef _WIN32
  r.ExitCode = status;
#else
  r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
  r.Out = ReadWholeFile(out);
  r.Err = ReadWholeFile(err);
  return r;
}

// A fresh folder per test, removed afterwards.
class TCliTest : public ::testing::Test {
 protected:
  // Runs tavora-cli in the source folder, so that inputs are named data/...
  TCliResult Run(const std::string& Args, const std::filesystem::path& StdinFile = {}) const {
    return RunCli(Args, SourceDir, Dir, StdinFile);
  }

  const std::filesystem::path SourceDir{TAVORA_SOURCE_DIR};
  TTempFolder Folder{"tavora_cli"};
  const std::filesystem::path& Dir = Folder.Path();
};

}  // namespace tavora::test
