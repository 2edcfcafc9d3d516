// Writing the control's state, canvas operations and rectangles as JSON.
#include "tools/verselet-script/StateJson.h"

#include "tools/verselet-script/Json.h"

namespace {

void WriteRect(TJsonWriter& json, const TRect& r) {
  json.BeginArray().Int(r.Left).Int(r.Top).Int(r.Right).Int(r.Bottom).EndArray();
}

void WriteScrollBar(TJsonWriter& json, const TScrollBarState& bar) {
  json.BeginObject().Key("min").Int(bar.Min).Key("max").Int(bar.Max).Key("pos").Int(bar.Pos);
  json.Key("enabled").Bool(bar.Enabled).Key("visible").Bool(bar.Visible).EndObject();
}

void WriteOp(TJsonWriter& json, const TCanvasOp& op) {
  json.BeginObject().Key("op").Utf8(op.Op);
  if (op.Op == "text") {
    json.Key("x").Int(op.X).Key("y").Int(op.Y).Key("text").Bytes(op.Text);
    json.Key("color").Int(op.Color).Key("bk").Int(op.Bk).Key("clip");
    if (op.Clip)
      WriteRect(json, *op.Clip);
    else
      json.Null();
    if (op.Underline) json.Key("underline").Bool(true);
  } else if (op.Op == "line") {
    json.Key("x1").Int(op.X).Key("y1").Int(op.Y).Key("x2").Int(op.X2).Key("y2").Int(op.Y2);
    json.Key("color").Int(op.Color);
  } else if (op.Op == "fill") {
    json.Key("rect");
    WriteRect(json, op.Rect);
    json.Key("color").Int(op.Color);
  } else if (op.Op == "pixel") {
    json.Key("x").Int(op.X).Key("y").Int(op.Y).Key("color").Int(op.Color);
  } else if (op.Op == "font") {
    json.Key("face").Utf8(op.Text).Key("height").Int(op.Y);
  }
  json.EndObject();
}

}  // namespace

std::string StateJson(const TRyxEdit& edit, const THeadlessHost& host) {
  TJsonWriter json;
  json.BeginObject().Key("lines").BeginArray();
  const TRyxStrings& lines = edit.Lines();
  for (int i = 0; i < lines.Count(); ++i) json.Bytes(lines.Get(i));
  json.EndArray();
  json.Key("caret").Pair(edit.CaretLine(), edit.CaretCol());
  json.Key("caretX").Int(edit.CaretX()).Key("top").Int(edit.TopLine()).Key("scrollX").Int(edit.ScrollX());
  json.Key("sel").BeginObject().Key("active").Bool(edit.SelActive()).Key("all").Bool(edit.SelAll());
  json.Key("anchor").Pair(edit.SelStart().Y, edit.SelStart().X);
  json.Key("end").Pair(edit.SelEnd().Y, edit.SelEnd().X).EndObject();
  json.Key("modified").Bool(edit.Modified()).Key("insert").Bool(edit.InsertMode());
  json.Key("text").Bytes(edit.GetAllText());
  json.Key("focused").Bool(host.Focused());
  const TCaretState& caret = host.Caret();
  json.Key("syscaret").BeginObject().Key("created").Bool(caret.Created()).Key("visible").Bool(caret.Visible());
  json.Key("x").Int(caret.X()).Key("y").Int(caret.Y()).Key("w").Int(caret.Width()).Key("h").Int(caret.Height());
  json.EndObject();
  json.Key("vbar");
  WriteScrollBar(json, host.ScrollBar(SB_VERT));
  json.Key("hbar");
  WriteScrollBar(json, host.ScrollBar(SB_HORZ));
  return json.EndObject().Text();
}

std::string CanvasOpsJson(const std::vector<TCanvasOp>& ops) {
  TJsonWriter json;
  json.BeginArray();
  for (const TCanvasOp& op : ops) WriteOp(json, op);
  return json.EndArray().Text();
}

std::string RectsJson(const std::vector<TRect>& rects) {
  TJsonWriter json;
  json.BeginArray();
  for (const TRect& r : rects) WriteRect(json, r);
  return json.EndArray().Text();
}
