// TScriptSession: creating the control in a headless window, focus, and the guides the owner draws.
#include "tools/verselet-script/ScriptSession.h"

#include "app/core/DisplayGuides.h"
#include "platform/Exceptions.h"

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
  FHost = std::make_unique<THeadlessHost>(clientWidth, clientHeight, FMetrics.HalfWidth,
                                          FMetrics.FullWidth, FMetrics.CellHeight);
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
  if (focused)
    FHost->SetFocus();
  else
    FHost->KillFocus();
}
