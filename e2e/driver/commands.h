// The driver's commands, grouped by what they work on. Each takes the request's
// fields after the command name and returns the reply's fields after "ok"; a
// failure is thrown as CommandError and answered with "err".
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "agent.h"

namespace pwdriver {

using Args = std::vector<std::string>;
using Reply = std::vector<std::string>;
using Handler = std::function<Reply(const Args&)>;
using CommandTable = std::map<std::string, Handler>;

struct CommandError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void AddWindowCommands(CommandTable& table);
void AddClipboardCommands(CommandTable& table, Agent& agent);
void AddScreenCommands(CommandTable& table);

// Argument helpers.
const std::string& Arg(const Args& args, std::size_t i);
std::string ArgOr(const Args& args, std::size_t i, const std::string& fallback);
long long ArgInt(const Args& args, std::size_t i);
long long ArgIntOr(const Args& args, std::size_t i, long long fallback);
HWND ArgWindow(const Args& args, std::size_t i);

std::string Num(long long value);
std::string WindowNum(HWND hwnd);

// Whole files, by Windows path (UTF-8 in the protocol).
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace pwdriver
