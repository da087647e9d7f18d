// pwdriver: drives the program's windows and the clipboard for the end-to-end
// tests. It runs as one long-lived console process and answers one request
// line on stdin with one reply line on stdout (see protocol.h).

// The program's host header first (its own block, so formatting keeps it
// first): it must see the platform interfaces before <windows.h> renames
// MessageBox and SendMessage.
#include "platform/win32/host.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include "agent.h"
#include "commands.h"
#include "platform/ids.h"
#include "protocol.h"

namespace pwdriver {

const std::string& Arg(const Args& args, std::size_t i) {
  if (i >= args.size()) throw CommandError("missing argument " + std::to_string(i + 1));
  return args[i];
}

std::string ArgOr(const Args& args, std::size_t i, const std::string& fallback) {
  return i < args.size() ? args[i] : fallback;
}

long long ArgInt(const Args& args, std::size_t i) {
  const std::string& text = Arg(args, i);
  try {
    std::size_t used = 0;
    long long value = std::stoll(text, &used, 0);
    if (used != text.size()) throw CommandError("not a number: " + text);
    return value;
  } catch (const std::logic_error&) {
    throw CommandError("not a number: " + text);
  }
}

long long ArgIntOr(const Args& args, std::size_t i, long long fallback) {
  return i < args.size() && !args[i].empty() ? ArgInt(args, i) : fallback;
}

HWND ArgWindow(const Args& args, std::size_t i) {
  HWND hwnd = reinterpret_cast<HWND>(static_cast<std::intptr_t>(ArgInt(args, i)));
  if (!::IsWindow(hwnd)) throw CommandError("no such window: " + args[i]);
  return hwnd;
}

std::string Num(long long value) { return std::to_string(value); }

std::string WindowNum(HWND hwnd) { return Num(reinterpret_cast<std::intptr_t>(hwnd)); }

namespace {

void WriteLine(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int Serve() {
  Agent agent;
  CommandTable table;
  AddWindowCommands(table);
  AddClipboardCommands(table, agent);
  AddScreenCommands(table);

  table["ping"] = [](const Args&) { return Reply{}; };
  // host: the program's private tray callback message and its window classes
  // (main, preview, About, region overlay).
  table["host"] = [](const Args&) {
    namespace host = pw::win32;
    return Reply{Num(host::kTrayMessage), Narrow(host::kMainClass), Narrow(host::kPreviewClass),
                 Narrow(host::kAboutClass), Narrow(host::kOverlayClass)};
  };
  // id FAMILY [INDEX]: the control id the program gives that control.
  table["id"] = [](const Args& a) {
    const std::string& name = Arg(a, 0);
    for (int f = 0; f <= 255; ++f) {
      const auto family = static_cast<pw::Family>(f);
      if (pw::FamilyName(family) == name) {
        return Reply{Num(pw::NumericId({family, static_cast<std::int16_t>(ArgIntOr(a, 1, 0))}))};
      }
    }
    throw CommandError("no control family " + name);
  };
  table["viewer_join"] = [&agent](const Args&) {
    agent.Run([&agent] { agent.JoinChain(); });
    return Reply{WindowNum(agent.hwnd()), WindowNum(agent.next_viewer())};
  };
  table["viewer_leave"] = [&agent](const Args&) {
    agent.Run([&agent] { agent.LeaveChain(); });
    return Reply{};
  };
  // joined, notices counted, notices received while joining, next viewer
  table["viewer_state"] = [&agent](const Args&) {
    return Reply{agent.joined() ? "1" : "0", Num(agent.notices()), Num(agent.joining_notices()),
                 WindowNum(agent.next_viewer())};
  };

  std::string line;
  while (std::getline(std::cin, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    Args fields = SplitFields(line);
    const std::string command = fields.front();
    fields.erase(fields.begin());
    if (command == "quit") {
      WriteLine("ok");
      break;
    }
    auto it = table.find(command);
    if (it == table.end()) {
      WriteLine(JoinFields({"err", "unknown command: " + command}));
      continue;
    }
    try {
      Reply reply = it->second(fields);
      reply.insert(reply.begin(), "ok");
      WriteLine(JoinFields(reply));
    } catch (const std::exception& e) {
      WriteLine(JoinFields({"err", e.what()}));
    }
  }
  return 0;
}

}  // namespace
}  // namespace pwdriver

int main() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  try {
    return pwdriver::Serve();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pwdriver: %s\n", e.what());
    return 1;
  }
}
