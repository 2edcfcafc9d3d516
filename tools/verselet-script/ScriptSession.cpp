// TScriptSession: creating the control in a headless window, focus, and the guides the owner draws.
#include "tools/verselet-script/ScriptSession.h"

#include "app/DisplayGuides.h"
#include "platform/Exceptions.h"

// The headless window can only gain the focus; a script also takes it away,
// so this one keeps the focus itself and tells the control either way.
class TScriptHost : public THeadlessHost {
 public:
  TScriptHost(TCustomControl& control, int width, int height, const TGlyphMetrics& m)
      : THeadlessHost(width, height, m.HalfWidth, m.FullWidth, m.CellHeight), FControl(control) {}

  void SetFocus() override { ChangeFocus(true); }
  bool Focused() const override { return FFocused; }

  void ChangeFocus(bool focused) {
    if (FFocused == focused) return;
    FFocused = focused;
    FControl.Perform(focused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
  }

 private:
  TCustomControl& FControl;
  bool FFocused = false;
};

TScriptSession::TScriptSession(std::ostream& out) : FOut(out) {}

TScriptSession::~TScriptSession() = default;

void TScriptSession::NewControl(int clientWidth, int clientHeight) {
  FEdit.reset();
  FHost.reset();
  FEvents.Clear();
  FEdit = std::make_unique<TRyxEdit>();
  FEvents.Connect(*FEdit);
  FEvents.AfterUserClientDraw = [this](int x1, int, int, int) {
    if (FGuides) DrawDisplayGuides(FEdit->Canvas(), x1, FEdit->TopMargin(), FEdit->TextHeight(), *FGuides);
  };
  FHost = std::make_unique<TScriptHost>(*FEdit, clientWidth, clientHeight, FMetrics);
  FHost->Attach(*FEdit);
  FHost->SetFocus();
}

TRyxEdit& TScriptSession::Edit() const {
  if (!FEdit) throw Exception("no control yet: the script must run `new` first");
  return *FEdit;
}

THeadlessHost& TScriptSession::Host() const {
  if (!FHost) throw Exception("no control yet: the script must run `new` first");
  return *FHost;
}

void TScriptSession::SetFocus(bool focused) {
  Edit();
  FHost->ChangeFocus(focused);
}
