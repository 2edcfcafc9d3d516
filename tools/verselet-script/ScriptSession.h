// TScriptSession: the control under test, its headless window and what the script has set up around them.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "app/core/DeviceSettings.h"
#include "editor/RyxEdit.h"
#include "platform/headless/HeadlessHost.h"
#include "tools/verselet-script/EventLog.h"

struct TGlyphMetrics {
  int HalfWidth = 8;
  int FullWidth = 16;
  int CellHeight = 16;
};


class TScriptSession {
 public:
  explicit TScriptSession(std::ostream& out);
  ~TScriptSession();
  TScriptSession(const TScriptSession&) = delete;
  TScriptSession& operator=(const TScriptSession&) = delete;

  // Writes one line of output; the caller builds it whole first, so that
  // a failure while building it leaves no half line behind.
  void Print(const std::string& line) { FOut << line << '\n'; }

  // For the windows that `new` creates from now on.
  void SetMetrics(const TGlyphMetrics& metrics) { FMetrics = metrics; }
  // Replaces the control by a fresh one in a window of that client size,
  // created and focused; the event log starts empty.
  void NewControl(int clientWidth, int clientHeight);
  // Both raise an Exception while the script has not created a control.
  TRyxEdit& Edit() const;
  THeadlessHost& Host() const;
  void SetFocus(bool focused);

  TEventLog& Events() { return FEvents; }
  // With settings, OnUserClientDraw draws the device display guides as the
  // main window does.
  void SetGuides(const std::optional<TDeviceSettings>& settings) { FGuides = settings; }

 private:
  std::ostream& FOut;
  TGlyphMetrics FMetrics;
  TEventLog FEvents;
  std::optional<TDeviceSettings> FGuides;
  // The control goes before its window.
  std::unique_ptr<THeadlessHost> FHost;
  std::unique_ptr<TRyxEdit> FEdit;
};
