// TForm3: the About box with the program's name, a link and a credit line.
#include "app/Unit3.h"

#include <QLabel>

#include "app/core/DocumentNames.h"
#include "platform/qt/QtConvert.h"
#include "widgets/URLLabel.h"

namespace {

constexpr char kLink[] = "https://ja.wikipedia.org/";
constexpr char kCredit[] = "Verselet 開発チーム";

// The dialog's face; where it is missing, QFontFromLogFont falls back to a
// Japanese sans face.
QFont DesignFont(int height, int weight) {
  TLogFont font;
  font.lfHeight = height;
  font.lfWeight = weight;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfFaceName = "ＭＳ Ｐゴシック";
  return QFontFromLogFont(font);
}

QLabel* MakeLabel(QLabel* label, const QRect& bounds) {
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setGeometry(bounds);
  return label;
}

void SetTextColor(QLabel* label, TColor color) {
  QPalette palette = label->palette();
  palette.setColor(label->foregroundRole(), QColorFromColor(color));
  label->setPalette(palette);
}

}  // namespace

TForm3::TForm3(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setWindowTitle("About");
  setFixedSize(214, 91);
  setFont(DesignFont(-12, FW_NORMAL));

  // Children created later are painted later, so Label1 lies over Label2.
  Label2 = MakeLabel(new QLabel(this), QRect(24, 16, 158, 16));
  Label2->setFont(DesignFont(-16, FW_BOLD));
  SetTextColor(Label2, clWhite);
  Label1 = MakeLabel(new QLabel(this), QRect(23, 15, 158, 16));
  Label1->setFont(DesignFont(-16, FW_BOLD));

  URLLabel1 = new TURLLabel(this);
  MakeLabel(URLLabel1, QRect(20, 44, 169, 12));
  URLLabel1->setFont(DesignFont(-12, FW_NORMAL));
  URLLabel1->SetFontColor(clAqua);
  URLLabel1->SetExecutable(true);
  URLLabel1->setText(kLink);

  Label3 = MakeLabel(new QLabel(kCredit, this), QRect(64, 68, 73, 12));
  Label3->adjustSize();

  FormCreate();
}

void TForm3::FormCreate() {
  Label1->setText(ApplicationTitle);
  Label2->setText(ApplicationTitle);
}
