// The program itself on an X display: `PROGRAM FILE` from its start until the X server maps its window.
//
// verselet-bench-launch PROGRAM FILE (on the display of $DISPLAY) runs five
// rounds, each starting the program with fresh settings and state and, in
// alternating order, reading and splitting FILE into strings in this process,
// the reference. The server tells of the map itself (MapNotify of a child of
// the root window), so the time is exact rather than polled. Prints
// name=value lines in milliseconds: the medians and the extremes of both.
#include <fcntl.h>
#include <malloc.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/PlainSplit.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsBetween(Clock::time_point start, Clock::time_point end) {
  return std::chrono::duration<double, std::milli>(end - start).count();
}

// A home of its own for one start: settings, recovery state and caches begin empty, and go with it.
class TFreshHome {
 public:
  TFreshHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "verselet-launch-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
    FPath = pattern;
  }
  ~TFreshHome() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  TFreshHome(const TFreshHome&) = delete;
  TFreshHome& operator=(const TFreshHome&) = delete;

  // This process's environment with the home and the XDG folders pointing into it.
  std::vector<std::string> Environment() const {
    const std::vector<std::pair<std::string, std::filesystem::path>> replaced = {
        {"HOME", FPath},
        {"XDG_CONFIG_HOME", FPath / "config"},
        {"XDG_STATE_HOME", FPath / "state"},
        {"XDG_DATA_HOME", FPath / "data"},
        {"XDG_CACHE_HOME", FPath / "cache"},
        {"QT_QPA_PLATFORM", "xcb"}};
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string text = *entry;
      const std::string key = text.substr(0, text.find('='));
      if (std::none_of(replaced.begin(), replaced.end(), [&key](const auto& r) { return r.first == key; }))
        result.push_back(text);
    }
    for (const auto& [key, value] : replaced) result.push_back(key + "=" + value.string());
    return result;
  }

 private:
  std::filesystem::path FPath;
};

// A started program, killed and reaped when it goes.
class TChild {
 public:
  TChild(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
    std::vector<char*> argv, envp;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const int failed = ::posix_spawn(&FPid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("cannot start " + arguments[0]);
  }
  ~TChild() {
    if (FRunning) {
      ::kill(FPid, SIGKILL);
      ::waitpid(FPid, nullptr, 0);
    }
  }
  TChild(const TChild&) = delete;
  TChild& operator=(const TChild&) = delete;

  // False once the program has ended on its own.
  bool Running() {
    if (FRunning && ::waitpid(FPid, nullptr, WNOHANG) == FPid) FRunning = false;
    return FRunning;
  }

 private:
  pid_t FPid = 0;
  bool FRunning = true;
};

// The X connection that hears of every window mapped on the root window.
class TMapWatch {
 public:
  TMapWatch() {
    // A display server started just before may not listen yet.
    const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(10);
    for (;;) {
      FConnection = ::xcb_connect(nullptr, nullptr);
      if (!::xcb_connection_has_error(FConnection)) break;
      ::xcb_disconnect(FConnection);
      if (Clock::now() > giveUp) throw std::runtime_error("no X display");
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    FRoot = ::xcb_setup_roots_iterator(::xcb_get_setup(FConnection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    ::xcb_change_window_attributes(FConnection, FRoot, XCB_CW_EVENT_MASK, &mask);
    FName = Atom("_NET_WM_NAME");
    FUtf8 = Atom("UTF8_STRING");
    ::xcb_flush(FConnection);
  }
  ~TMapWatch() { ::xcb_disconnect(FConnection); }
  TMapWatch(const TMapWatch&) = delete;
  TMapWatch& operator=(const TMapWatch&) = delete;

  // The moment a top-level window whose title begins with title is mapped,
  // the clock read as the server's event arrives. Fails when child ends
  // first or nothing comes within a minute.
  Clock::time_point WaitForMapped(const std::string& title, TChild& child) {
    const Clock::time_point giveUp = Clock::now() + std::chrono::minutes(1);
    pollfd fd{::xcb_get_file_descriptor(FConnection), POLLIN, 0};
    for (;;) {
      while (xcb_generic_event_t* event = ::xcb_poll_for_event(FConnection)) {
        const Clock::time_point at = Clock::now();
        const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
        if ((event->response_type & 0x7F) != XCB_MAP_NOTIFY) continue;
        const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        if (!map->override_redirect && TitleOf(map->window).starts_with(title)) return at;
      }
      if (::xcb_connection_has_error(FConnection)) throw std::runtime_error("X connection lost");
      if (!child.Running()) throw std::runtime_error("the program ended before its window was shown");
      if (Clock::now() > giveUp) throw std::runtime_error("no window within a minute");
      ::poll(&fd, 1, 100);
    }
  }

 private:
  xcb_atom_t Atom(const char* name) {
    const xcb_intern_atom_cookie_t cookie = ::xcb_intern_atom(FConnection, 0, std::strlen(name), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        ::xcb_intern_atom_reply(FConnection, cookie, nullptr), &std::free);
    if (!reply) throw std::runtime_error(std::string("no atom ") + name);
    return reply->atom;
  }

  std::string TitleOf(xcb_window_t window) {
    const xcb_get_property_cookie_t cookie = ::xcb_get_property(FConnection, 0, window, FName, FUtf8, 0, 1024);
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        ::xcb_get_property_reply(FConnection, cookie, nullptr), &std::free);
    if (!reply) return {};
    return std::string(static_cast<const char*>(::xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(::xcb_get_property_value_length(reply.get())));
  }

  xcb_connection_t* FConnection = nullptr;
  xcb_window_t FRoot = 0;
  xcb_atom_t FName = 0;
  xcb_atom_t FUtf8 = 0;
};

double Launch(TMapWatch& watch, const std::string& program, const std::filesystem::path& file) {
  const TFreshHome home;
  const std::vector<std::string> environment = home.Environment();
  const Clock::time_point start = Clock::now();
  TChild child({program, file.string()}, environment);
  return MillisecondsBetween(start, watch.WaitForMapped(file.filename().string() + " - Verselet", child));
}

double Split(const std::filesystem::path& file) {
  const Clock::time_point start = Clock::now();
  const double cost = [&] {
    const std::vector<std::string> lines = ReadAndSplit(file);
    return MillisecondsBetween(start, Clock::now());
  }();
  ::malloc_trim(0);
  return cost;
}

void PrintSummary(const char* name, std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::printf("%s_ms=%.1f\n%s_min_ms=%.1f\n%s_max_ms=%.1f\n", name, values[values.size() / 2], name, values.front(),
              name, values.back());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: verselet-bench-launch PROGRAM FILE\n");
    return 2;
  }
  try {
    const std::string program = argv[1];
    const std::filesystem::path file = argv[2];
    TMapWatch watch;
    std::vector<double> split, launch;
    for (int round = 0; round < 5; ++round) {
      if (round % 2 == 0) split.push_back(Split(file));
      launch.push_back(Launch(watch, program, file));
      if (round % 2 != 0) split.push_back(Split(file));
    }
    PrintSummary("split", split);
    PrintSummary("launch", launch);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "verselet-bench-launch: %s\n", e.what());
    return 1;
  }
  return 0;
}
