// The property table: getter and setter of each property, built from the control's accessor pairs.
#include "tools/verselet-script/Properties.h"

#include <array>
#include <climits>
#include <type_traits>

#include "tools/verselet-script/Json.h"

namespace {

template <class T>
TPropValue ToValue(const T& value) {
  if constexpr (std::is_convertible_v<T, std::string>)
    return {0, value};
  else
    return {static_cast<std::int64_t>(value), {}};
}

template <class T>
T FromValue(const TPropValue& value) {
  if constexpr (std::is_same_v<T, std::string>)
    return value.Text;
  else if constexpr (std::is_same_v<T, bool>)
    return value.Number != 0;
  else
    return static_cast<T>(value.Number);
}

template <class>
struct TSetterArg;
template <class C, class A>
struct TSetterArg<void (C::*)(A)> {
  using Type = std::remove_cvref_t<A>;
};

// A property of the control read and written through its accessor pair.
template <auto Getter, auto Setter>
TProperty Prop(std::string_view name, TPropKind kind, std::span<const std::string_view> names = {}) {
  return {name, kind, names, [](const TRyxEdit& e) { return ToValue((e.*Getter)()); },
          [](TRyxEdit& e, const TPropValue& v) {
            (e.*Setter)(FromValue<typename TSetterArg<decltype(Setter)>::Type>(v));
          }};
}

template <auto Getter>
TProperty State(std::string_view name, TPropKind kind) {
  return {name, kind, {}, [](const TRyxEdit& e) { return ToValue((e.*Getter)()); }, nullptr};
}

// A part of the Font property: the font is copied, changed and handed back,
// as the control's setter expects a whole font.
template <auto Getter, auto Setter>
TProperty FontPart(std::string_view name, TPropKind kind) {
  return {name, kind, {}, [](const TRyxEdit& e) { return ToValue((e.Font().*Getter)()); },
          [](TRyxEdit& e, const TPropValue& v) {
            TFont font = e.Font();
            (font.*Setter)(FromValue<typename TSetterArg<decltype(Setter)>::Type>(v));
            e.SetFont(font);
          }};
}

constexpr std::array<std::string_view, 2> kBorderStyles{"bsNone", "bsSingle"};
constexpr std::array<std::string_view, 2> kLineSizeUnits{"uPercent", "uPixel"};
constexpr std::array<std::string_view, 2> kDragModes{"dmManual", "dmAutomatic"};

using K = TPropKind;
using E = TRyxEdit;
using C = TCustomControl;

const std::array kProperties{
    Prop<&E::Version, &E::SetVersion>("Version", K::Text),
    FontPart<&TFont::Name, &TFont::SetName>("FontName", K::Utf8),
    FontPart<&TFont::Height, &TFont::SetHeight>("FontHeight", K::Int),
    FontPart<&TFont::Size, &TFont::SetSize>("FontSize", K::Int),
    FontPart<&TFont::Color, &TFont::SetColor>("FontColor", K::Color),
    FontPart<&TFont::Style, &TFont::SetStyle>("FontStyle", K::Int),
    FontPart<&TFont::Charset, &TFont::SetCharset>("FontCharset", K::Int),
    Prop<&E::Color, &E::SetColor>("Color", K::Color),
    Prop<&E::BorderStyle, &E::SetBorderStyle>("BorderStyle", K::Enum, kBorderStyles),
    Prop<&E::WordWrap, &E::SetWordWrap>("WordWrap", K::Bool),
    Prop<&E::AutoWrap, &E::SetAutoWrap>("AutoWrap", K::Bool),
    Prop<&E::Column, &E::SetColumn>("Column", K::Int),
    Prop<&E::TabCount, &E::SetTabCount>("TabCount", K::Int),
    Prop<&E::TopMargin, &E::SetTopMargin>("TopMargin", K::Int),
    Prop<&E::LeftMargin, &E::SetLeftMargin>("LeftMargin", K::Int),
    Prop<&E::ShowLineNumber, &E::SetShowLineNumber>("ShowLineNumber", K::Bool),
    Prop<&E::LineNoColumn, &E::SetLineNoColumn>("LineNoColumn", K::Int),
    Prop<&E::LineSpace, &E::SetLineSpace>("LineSpace", K::Int),
    Prop<&E::LineSpaceUnit, &E::SetLineSpaceUnit>("LineSpaceUnit", K::Enum, kLineSizeUnits),
    Prop<&E::HorzScrollBar, &E::SetHorzScrollBar>("HorzScrollBar", K::Bool),
    Prop<&E::VertScrollBar, &E::SetVertScrollBar>("VertScrollBar", K::Bool),
    Prop<&E::ScrollStep, &E::SetScrollStep>("ScrollStep", K::Int),
    Prop<&E::CaretScrollFix, &E::SetCaretScrollFix>("CaretScrollFix", K::Bool),
    Prop<&E::CurSetMode, &E::SetCurSetMode>("CurSetMode", K::Bool),
    Prop<&E::ShowEOF, &E::SetShowEOF>("ShowEOF", K::Bool),
    Prop<&E::ShowCR, &E::SetShowCR>("ShowCR", K::Bool),
    Prop<&E::ShowTAB, &E::SetShowTAB>("ShowTAB", K::Bool),
    Prop<&E::ShowDblSpace, &E::SetShowDblSpace>("ShowDblSpace", K::Bool),
    Prop<&E::CREOFcolor, &E::SetCREOFcolor>("CREOFcolor", K::Color),
    Prop<&E::SelColor, &E::SetSelColor>("SelColor", K::Color),
    Prop<&E::URLColor, &E::SetURLColor>("URLColor", K::Color),
    Prop<&E::InyoColor, &E::SetInyoColor>("InyoColor", K::Color),
    Prop<&E::Inyostr, &E::SetInyostr>("Inyostr", K::Text),
    Prop<&E::ColorPrintF, &E::SetColorPrintF>("ColorPrintF", K::Bool),
    Prop<&E::ShowUnderLine, &E::SetShowUnderLine>("ShowUnderLine", K::Bool),
    Prop<&E::UlineColor, &E::SetUlineColor>("UlineColor", K::Color),
    Prop<&E::UndoRec, &E::SetUndoRec>("UndoRec", K::Bool),
    Prop<&E::UndoBuf, &E::SetUndoBuf>("UndoBuf", K::Int),
    Prop<&E::AutoIndent, &E::SetAutoIndent>("AutoIndent", K::Bool),
    Prop<&E::ReadOnly, &E::SetReadOnly>("ReadOnly", K::Bool),
    Prop<&E::WantTabs, &E::SetWantTabs>("WantTabs", K::Bool),
    Prop<&E::SingleByteMode, &E::SetSingleByteMode>("SingleByteMode", K::Bool),
    Prop<&E::DragMode, &E::SetDragMode>("DragMode", K::Enum, kDragModes),
    Prop<&E::DragCursor, &E::SetDragCursor>("DragCursor", K::Int),
    Prop<&C::Ctl3D, &C::SetCtl3D>("Ctl3D", K::Bool),
    Prop<&C::TabStop, &C::SetTabStop>("TabStop", K::Bool),
    Prop<&C::Cursor, &C::SetCursor>("Cursor", K::Int),
    State<&E::CaretLine>("CaretLine", K::Int),
    State<&E::CaretCol>("CaretCol", K::Int),
    State<&E::CaretX>("CaretX", K::Int),
    State<&E::TopLine>("TopLine", K::Int),
    State<&E::ScrollX>("ScrollX", K::Int),
    State<&E::SelActive>("SelActive", K::Bool),
    State<&E::SelAll>("SelAll", K::Bool),
    State<&E::Modified>("Modified", K::Bool),
    State<&E::InsertMode>("InsertMode", K::Bool),
    State<&E::LineHeight>("LineHeight", K::Int),
    State<&E::FontHeight>("FontCellHeight", K::Int),
    State<&E::CharWidth>("CharWidth", K::Int),
    State<&E::GutterWidth>("GutterWidth", K::Int),
    State<&E::TextLeft>("TextLeft", K::Int),
    State<&E::TextWidth>("TextWidth", K::Int),
    State<&E::TextHeight>("TextHeight", K::Int),
    State<&E::VBarWidth>("VBarWidth", K::Int),
    State<&E::VisibleLines>("VisibleLines", K::Int),
    State<&E::MarkHeight>("MarkHeight", K::Int),
    State<&E::MarkGap>("MarkGap", K::Int),
    State<&E::MaxColumns>("MaxColumns", K::Int),
    State<&E::ZenWidth>("ZenWidth", K::Int),
    State<&E::HanWidth>("HanWidth", K::Int),
    State<&E::MsgGetCaretPos>("MsgGetCaretPos", K::Int),
    State<&E::MsgSetCaretPos>("MsgSetCaretPos", K::Int),
    State<&E::LastFileError>("LastFileError", K::Utf8),
    State<&C::Width>("Width", K::Int),
    State<&C::Height>("Height", K::Int),
    State<&C::ClientWidth>("ClientWidth", K::Int),
    State<&C::ClientHeight>("ClientHeight", K::Int),
    TProperty{"LogFontName", K::Utf8, {}, [](const E& e) { return ToValue(e.LogFont().lfFaceName); }, nullptr},
    TProperty{"LogFontHeight", K::Int, {}, [](const E& e) { return ToValue(e.LogFont().lfHeight); }, nullptr},
};

}  // namespace

const TProperty& FindProperty(std::string_view name) {
  for (const TProperty& property : kProperties) {
    if (SameName(property.Name, name)) return property;
  }
  throw TScriptError("unknown property '" + std::string(name) + "'");
}

TPropValue ParsePropertyValue(const TProperty& property, const TArgs& args, std::size_t i) {
  switch (property.Kind) {
    case TPropKind::Int:
      return {args.Int(i, INT_MIN, INT_MAX), {}};
    case TPropKind::Bool:
      return {args.Flag(i) ? 1 : 0, {}};
    case TPropKind::Color: {
      const std::int64_t n = args.Number(i);
      if (n < 0 || n > 0xFFFFFFFF) throw TScriptError("a colour is a number from 0 to 0xFFFFFFFF");
      return {n, {}};
    }
    case TPropKind::Text:
      return {0, args.Text(i, TTextEncoding::Ansi)};
    case TPropKind::Utf8:
      return {0, args.Text(i, TTextEncoding::Utf8)};
    case TPropKind::Enum: {
      const std::string& word = args.Word(i);
      for (std::size_t k = 0; k < property.EnumNames.size(); ++k) {
        if (SameName(property.EnumNames[k], word)) return {static_cast<std::int64_t>(k), {}};
      }
      const auto n = ParseNumber(word);
      if (n && *n >= 0 && *n < static_cast<std::int64_t>(property.EnumNames.size())) return {*n, {}};
      std::string names;
      // Appended piece by piece: a joined temporary trips a false -Wrestrict in release builds.
      for (const std::string_view name : property.EnumNames) {
        names += ' ';
        names += name;
      }
      throw TScriptError(std::string(property.Name) + " takes one of" + names + " or its index");
    }
  }
  throw TScriptError("property of unknown kind");
}

std::string FormatPropertyValue(const TProperty& property, const TPropValue& value) {
  switch (property.Kind) {
    case TPropKind::Text:
      return JsonBytes(value.Text);
    case TPropKind::Utf8:
      return JsonUtf8(value.Text);
    case TPropKind::Enum:
      if (value.Number >= 0 && value.Number < static_cast<std::int64_t>(property.EnumNames.size()))
        return std::string(property.EnumNames[static_cast<std::size_t>(value.Number)]);
      break;
    default:
      break;
  }
  return std::to_string(value.Number);
}
