// The command table, and the commands that set up the session or report what happened.
#include "tools/verselet-script/Commands.h"

#include <array>
#include <string>

#include "tools/verselet-script/Json.h"
#include "tools/verselet-script/Properties.h"
#include "tools/verselet-script/StateJson.h"

namespace {

constexpr int kMaxClientSize = 32767;

TAction New(const TArgs& args) {
  args.ExpectCount(0, 2, "new [WIDTH HEIGHT]");
  if (args.Count() == 1) throw TScriptError("new takes both WIDTH and HEIGHT or neither");
  const int width = args.Has(0) ? args.Int(0, 0, kMaxClientSize) : 440;
  const int height = args.Has(1) ? args.Int(1, 0, kMaxClientSize) : 265;
  return [width, height](TScriptSession& s) { s.NewControl(width, height); };
}

TAction Metrics(const TArgs& args) {
  args.ExpectCount(3, 3, "metrics HALF FULL HEIGHT");
  const TGlyphMetrics metrics{args.Int(0, 1, 1000), args.Int(1, 1, 1000), args.Int(2, 1, 1000)};
  return [metrics](TScriptSession& s) { s.SetMetrics(metrics); };
}

TAction Set(const TArgs& args) {
  args.ExpectCount(2, 2, "set PROPERTY VALUE");
  const TProperty& property = FindProperty(args.Word(0));
  if (!property.Set) throw TScriptError(std::string(property.Name) + " can only be read");
  const TPropValue value = ParsePropertyValue(property, args, 1);
  return [&property, value](TScriptSession& s) { property.Set(s.Edit(), value); };
}

TAction Get(const TArgs& args) {
  args.ExpectCount(1, 1, "get PROPERTY");
  const TProperty& property = FindProperty(args.Word(0));
  return [&property](TScriptSession& s) {
    s.Print(std::string(property.Name) + '=' + FormatPropertyValue(property, property.Get(s.Edit())));
  };
}

TAction Tick(const TArgs& args) {
  args.ExpectCount(0, 1, "tick [COUNT]");
  const int count = args.Has(0) ? args.Int(0, 0, 1000000) : 1;
  return [count](TScriptSession& s) {
    THeadlessHost& host = s.Host();
    for (int i = 0; i < count; ++i) host.TickTimers();
  };
}

TAction Size(const TArgs& args) {
  args.ExpectCount(2, 2, "size WIDTH HEIGHT");
  const int width = args.Int(0, 0, kMaxClientSize);
  const int height = args.Int(1, 0, kMaxClientSize);
  return [width, height](TScriptSession& s) { s.Host().Resize(width, height); };
}

TAction Focus(const TArgs& args) {
  args.ExpectCount(1, 1, "focus on|off");
  const bool on = args.Flag(0);
  return [on](TScriptSession& s) { s.SetFocus(on); };
}

TAction Clipboard(const TArgs& args) {
  args.ExpectCount(0, 1, "clipboard [\"text\"]");
  if (args.Has(0)) {
    const std::string text = args.Text(0);
    return [text](TScriptSession& s) { s.Host().SetClipboard(text); };
  }
  return [](TScriptSession& s) {
    std::string text;
    s.Print("clipboard=" + (s.Host().GetClipboardText(text) ? JsonBytes(text) : std::string("null")));
  };
}

TAction Guides(const TArgs& args) {
  args.ExpectCount(1, 3, "guides off | guides HALFCOUNT LINECOUNT [tag]");
  if (args.Count() == 1) {
    if (args.Flag(0)) throw TScriptError("guides takes HALFCOUNT LINECOUNT [tag] to switch them on");
    return [](TScriptSession& s) { s.SetGuides(std::nullopt); };
  }
  TDeviceSettings settings;
  settings.HalfCount = args.Int(0, -0x7FFFFFFF, 0x7FFFFFFF);
  settings.LineCount = args.Int(1, -0x7FFFFFFF, 0x7FFFFFFF);
  if (args.Has(2)) {
    if (!SameName(args.Word(2), "tag")) throw TScriptError("the third word of guides can only be 'tag'");
    settings.ShowTagLine = true;
  }
  return [settings](TScriptSession& s) { s.SetGuides(settings); };
}

// A report command without arguments.
template <std::string (*Report)(TScriptSession&)>
TAction ReportCommand(const TArgs& args) {
  args.ExpectCount(0, 0, "no arguments");
  return [](TScriptSession& s) { s.Print(Report(s)); };
}

std::string Dump(TScriptSession& s) { return StateJson(s.Edit(), s.Host()); }
std::string Events(TScriptSession& s) { return s.Events().TakeJson(); }
std::string Paint(TScriptSession& s) { return CanvasOpsJson(s.Host().HeadlessCanvas().TakeOps()); }
std::string Invalidated(TScriptSession& s) { return RectsJson(s.Host().TakeInvalidations()); }

std::string Boxes(TScriptSession& s) {
  TJsonWriter json;
  json.BeginArray();
  for (const std::string& text : s.Host().TakeMessageBoxes()) json.Utf8(text);
  return json.EndArray().Text();
}

struct TCommand {
  std::string_view Name;
  TAction (*Parse)(const TArgs& args);
};

constexpr std::array kCommands{
    TCommand{"new", New},
    TCommand{"metrics", Metrics},
    TCommand{"set", Set},
    TCommand{"get", Get},
    TCommand{"call", ParseCall},
    TCommand{"msg", ParseMessage},
    TCommand{"key", ParseKey},
    TCommand{"keydown", ParseKeyDown},
    TCommand{"keyup", ParseKeyUp},
    TCommand{"char", ParseChar},
    TCommand{"ime", ParseIme},
    TCommand{"mouse", ParseMouse},
    TCommand{"dblclick", ParseDblClick},
    TCommand{"tick", Tick},
    TCommand{"size", Size},
    TCommand{"focus", Focus},
    TCommand{"clipboard", Clipboard},
    TCommand{"guides", Guides},
    TCommand{"dump", ReportCommand<Dump>},
    TCommand{"events", ReportCommand<Events>},
    TCommand{"paint", ReportCommand<Paint>},
    TCommand{"boxes", ReportCommand<Boxes>},
    TCommand{"invalidated", ReportCommand<Invalidated>},
};

}  // namespace

TAction ParseCommand(std::span<const TToken> tokens) {
  if (tokens.empty() || tokens.front().Kind != TTokenKind::Word) throw TScriptError("a line must start with a command");
  const std::string& name = tokens.front().Text;
  for (const TCommand& command : kCommands) {
    if (SameName(command.Name, name)) return command.Parse(TArgs(tokens.subspan(1)));
  }
  throw TScriptError("unknown command '" + name + "'");
}
