// TForm1: "読み込み" and "書き出し" between the lyrics formats, and the lyrics inside audio files.
#include <QFile>
#include <QMenu>
#include <QStatusBar>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/Unit1.h"
#include "app/UnitCommonDialogs.h"
#include "app/UnitTimingStudio.h"
#include "app/core/DocumentNames.h"
#include "app/core/EncodingFilters.h"
#include "app/core/FileEncoding.h"
#include "app/core/FileEncodingScan.h"
#include "app/core/SongFiles.h"
#include "app/core/StoredLyricsText.h"
#include "editor/RyxEdit.h"
#include "editor/Ryxstrings.h"
#include "platform/AtomicFile.h"
#include "platform/AudioLyrics.h"
#include "platform/LookAlikeFolds.h"

namespace {

QString FileNameText(const std::string& fileName) { return QFile::decodeName(QByteArray::fromStdString(fileName)); }

std::string Extension(TLyricsFormat format) { return std::string(".") + LyricsFormatName(format); }

// "SRT 字幕 (.srt)(*.srt)|*.srt|すべてのファイル(*.*)|*.*"
std::string FilterOf(TLyricsFormat format) {
  std::string pattern = "*";
  pattern += Extension(format);
  return std::string(LyricsFormatCaption(format)) + "(" + pattern + ")|" + pattern + "|すべてのファイル(*.*)|*.*";
}

std::string AudioFilter() {
  std::string patterns;
  for (const std::string& extension : AudioExtensions()) {
    if (CanHoldLyrics("a" + extension)) patterns += (patterns.empty() ? "*" : ";*") + extension;
  }
  return "音声ファイル(" + patterns + ")|" + patterns + "|すべてのファイル(*.*)|*.*";
}

struct TImportItem {
  const char* Caption;
  TLyricsFormat From;
  TLyricsFormat To;
};

constexpr TImportItem kImports[] = {
    {"SRT 字幕 (.srt) を LRC で(&S)...", TLyricsFormat::Srt, TLyricsFormat::Lrc},
    {"ASS カラオケ字幕 (.ass) を拡張 LRC で(&A)...", TLyricsFormat::Ass, TLyricsFormat::Lrc},
    {"ASS カラオケ字幕 (.ass) を KRA で(&K)...", TLyricsFormat::Ass, TLyricsFormat::Kra},
    {"拡張 LRC (.lrc) を KRA で(&L)...", TLyricsFormat::Lrc, TLyricsFormat::Kra},
    {"KRA カラオケ (.kra) を拡張 LRC で(&R)...", TLyricsFormat::Kra, TLyricsFormat::Lrc},
};

struct TExportItem {
  const char* Caption;
  TLyricsFormat To;
  TKaraokeFill Fill;
};

constexpr TExportItem kExports[] = {
    {"SRT 字幕 (.srt)(&S)...", TLyricsFormat::Srt, TKaraokeFill::Instant},
    {"ASS カラオケ字幕 (.ass、\\k)(&A)...", TLyricsFormat::Ass, TKaraokeFill::Instant},
    {"ASS カラオケ字幕 (.ass、\\kf)(&F)...", TLyricsFormat::Ass, TKaraokeFill::Sweep},
    {"拡張 LRC (.lrc)(&L)...", TLyricsFormat::Lrc, TKaraokeFill::Instant},
    {"KRA カラオケ (.kra)(&K)...", TLyricsFormat::Kra, TKaraokeFill::Instant},
};

// The status line after a conversion: what it did, the folded characters and what it left out.
QString Done(const QString& what, std::size_t folded, const TFormatReport& report) {
  QString text = what;
  if (folded > 0) text += "。" + QString::fromStdString(DescribeFolded(folded));
  if (!report.Empty()) text += "。" + QString::fromStdString(report.Describe());
  return text;
}

}  // namespace

void TForm1::CreateFormatMenus() {
  // After the song, before the recent files and 終了.
  N1->insertSeparator(N8);
  ImportMenu = new QMenu("読み込み(&I)", N1);
  N1->insertMenu(N8, ImportMenu);
  for (const TImportItem& item : kImports) {
    QAction* action = ImportMenu->addAction(item.Caption);
    connect(action, &QAction::triggered, this, [this, item] { Run([this, item] { ImportClick(item.From, item.To); }); });
  }
  ExportMenu = new QMenu("書き出し(&X)", N1);
  N1->insertMenu(N8, ExportMenu);
  for (const TExportItem& item : kExports) {
    QAction* action = ExportMenu->addAction(item.Caption);
    connect(action, &QAction::triggered, this, [this, item] { Run([this, item] { ExportClick(item.To, item.Fill); }); });
  }
  OpenAudioLyricsAction = new QAction("音声ファイルの歌詞を開く(&L)...", N1);
  N1->insertAction(N8, OpenAudioLyricsAction);
  WriteAudioLyricsAction = new QAction("音声ファイルに歌詞を書き込む(&W)...", N1);
  N1->insertAction(N8, WriteAudioLyricsAction);
  Connect(OpenAudioLyricsAction, &TForm1::OpenAudioLyricsClick);
  Connect(WriteAudioLyricsAction, &TForm1::WriteAudioLyricsClick);
}

void TForm1::ShowAsNewText(const std::string& text) {
  RyxEdit1->ClearAll();
  RyxEdit1->ReplaceAllText(text);
  RyxEdit1->GotoDocumentStart();
  SetCurrentFileName({});
  SetSaveEncoding(TSaveEncoding::ShiftJis);
  FDiskStamp = FIgnoredStamp = {};
}

void TForm1::ImportClick(TLyricsFormat from, TLyricsFormat to) {
  if (!QuerySaveChanges()) return;
  std::string fileName = ChangeFileExt(FCurrentFileName, Extension(from));
  if (!FDialogs.ExecuteOpen(this, FilterOf(from), fileName)) return;
  const QString name = FileNameText(fileName);
  const auto fail = [this, &name](const QString& why) { FDialogs.ShowError(this, name + " を読み込めませんでした。\n" + why); };
  TEncodingScan scan;
  try {
    scan = ScanFileEncoding(fileName, TRyxStrings::kMaxFileBytes);
  } catch (const std::exception& e) {
    return fail(QString::fromUtf8(e.what()));
  }
  if (scan.TooLarge) return fail("ファイルが大きすぎます");
  if (scan.HoldsNul) return fail(name + " はテキストファイルではありません (NUL 文字を含んでいます)");
  std::ifstream in(fileName, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in && !in.eof()) return fail("ファイルを読めません");
  std::string text = bytes;
  std::size_t folded = 0;
  if (scan.Encoding != TFileEncoding::ShiftJis && !TakeInUtf8(DecodeToUtf8(bytes, scan.Encoding), text, folded)) return;
  TConversion conversion;
  try {
    conversion = ConvertLyricsFormat(text, from, to);
  } catch (const EFormatError& e) {
    return fail(QString::fromUtf8(e.what()));
  }
  ShowAsNewText(conversion.Text);
  StatusBar1->showMessage(Done(name + " を読み込みました", folded, conversion.Report));
}

void TForm1::ExportClick(TLyricsFormat to, TKaraokeFill fill) {
  TConversionOptions options;
  options.Fill = fill;
  if (WrittenInUtf8(to)) {
    // Subtitles give every line an end: the last line's, when the text does not say it, is asked for.
    double seconds = static_cast<double>(options.LastLineMillis) / 1000;
    if (!FDialogs.AskSeconds(this, "書き出し", "終わりの分からない最後の行を表示する秒数:", seconds)) return;
    if (!(seconds > 0)) {
      FDialogs.ShowError(this, "最後の行を表示する秒数には 0 より大きい値を指定してください。");
      return;
    }
    options.LastLineMillis = static_cast<long long>(seconds * 1000 + 0.5);
  }
  TConversion conversion;
  try {
    conversion = ConvertLyricsFormat(RyxEdit1->GetAllText(), TLyricsFormat::Lrc, to, options);
  } catch (const EFormatError& e) {
    FDialogs.ShowError(this, "書き出せませんでした。\n" + QString::fromUtf8(e.what()));
    return;
  }
  if (!conversion.Report.Empty()) {
    const QString question = QString::fromStdString(conversion.Report.Describe()) + "\n書き出しますか?";
    if (FDialogs.Ask(this, {question, {"書き出す", "キャンセル"}, 0, 1}) != 0) return;
  }
  std::string fileName = ChangeFileExt(FCurrentFileName.empty() ? std::string(UntitledName) : FCurrentFileName, Extension(to));
  int filterIndex = 1;
  TSaveEncoding encoding = WrittenInUtf8(to) ? TSaveEncoding::Utf8 : FSaveEncoding;
  for (;;) {
    if (!FDialogs.ExecuteSave(this, FilterOf(to), fileName, filterIndex, encoding)) return;
    if (filterIndex == 1) fileName = ChangeFileExt(fileName, Extension(to));
    std::error_code error;
    if (!std::filesystem::exists(fileName, error) || AskOverwrite(fileName)) break;
  }
  std::string bytes = conversion.Text;
  if (const std::unique_ptr<TBlockFilter> encoder = MakeSaveEncoder(encoding)) {
    bytes.clear();
    try {
      encoder->Write(conversion.Text, bytes);
      encoder->Finish(bytes);
    } catch (const ETextEncodingError& e) {
      FDialogs.ShowError(this, FileNameText(fileName) + " に書き出せませんでした。\n" + QString::fromUtf8(e.what()));
      return;
    }
  }
  if (WriteExport(fileName, bytes))
    StatusBar1->showMessage(Done(FileNameText(fileName) + " に書き出しました", 0, conversion.Report));
}

bool TForm1::WriteExport(const std::string& fileName, const std::string& bytes) {
  if (!OfferLeftBackupOf(fileName)) return false;
  const bool readOnly = CheckSaveTarget(fileName) == TSaveObstacle::ReadOnly;
  if (readOnly && !AskOverwriteReadOnly(fileName)) return false;
  try {
    TAtomicFile file(fileName, readOnly);
    file.Write(bytes);
    file.Commit();
  } catch (const std::exception& e) {
    FDialogs.ShowError(this, FileNameText(fileName) + " に書き出せませんでした。\n" + QString::fromUtf8(e.what()));
    return false;
  }
  return true;
}

std::string TForm1::LyricsAudioFile() const {
  if (TimingStudio && TimingStudio->SongFile()) return TimingStudio->SongFile()->string();
  return FLyricsAudio;
}

void TForm1::OpenAudioLyricsClick() {
  if (!QuerySaveChanges()) return;
  std::string fileName = LyricsAudioFile();
  if (!FDialogs.ExecuteOpen(this, AudioFilter(), fileName)) return;
  const QString name = FileNameText(fileName);
  TStoredLyrics stored;
  try {
    stored = ReadAudioLyrics(fileName);
  } catch (const std::exception& e) {
    FDialogs.ShowError(this, "音声ファイルの歌詞を開けませんでした。\n" + QString::fromUtf8(e.what()));
    return;
  }
  if (stored.Frame == TLyricsFrame::None) {
    FDialogs.ShowError(this, name + " には歌詞が入っていません。");
    return;
  }
  std::string text;
  std::size_t folded = 0;
  if (!TakeInUtf8(StoredLyricsText(stored), text, folded)) return;
  ShowAsNewText(text);
  FLyricsAudio = fileName;
  StatusBar1->showMessage(Done(name + " の " + LyricsFrameName(stored.Frame) + " の歌詞を開きました", folded, {}));
}

void TForm1::WriteAudioLyricsClick() {
  std::string fileName = LyricsAudioFile();
  if (!FDialogs.ExecuteOpen(this, AudioFilter(), fileName)) return;
  const QString name = FileNameText(fileName);
  std::string utf8;
  try {
    const std::unique_ptr<TBlockFilter> encoder = MakeSaveEncoder(TSaveEncoding::Utf8);
    encoder->Write(RyxEdit1->GetAllText(), utf8);
    encoder->Finish(utf8);
  } catch (const ETextEncodingError& e) {
    FDialogs.ShowError(this, name + " に歌詞を書き込めませんでした。\n" + QString::fromUtf8(e.what()));
    return;
  }
  const QString question = name + " の歌詞を今のテキストで置き換えますか?\nほかのタグと音声はそのままです。";
  if (FDialogs.Ask(this, {question, {"書き込む", "キャンセル"}, 1, 1}) != 0) return;
  const bool readOnly = CheckSaveTarget(fileName) == TSaveObstacle::ReadOnly;
  if (readOnly && !AskOverwriteReadOnly(fileName)) return;
  try {
    const TLyricsFrame frame = WriteAudioLyrics(fileName, LyricsTextToStore(utf8), readOnly);
    FLyricsAudio = fileName;
    StatusBar1->showMessage(name + " の " + LyricsFrameName(frame) + " に歌詞を書き込みました");
  } catch (const std::exception& e) {
    FDialogs.ShowError(this, "歌詞を書き込めませんでした。\n" + QString::fromUtf8(e.what()));
  }
}
