// Lyrics inside audio files through TagLib, written on a copy that replaces the file only after a whole save.
#include "platform/AudioLyrics.h"

#include <fcntl.h>
#include <unistd.h>

#include <taglib/flacfile.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/synchronizedlyricsframe.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/vorbisfile.h>
#include <taglib/xiphcomment.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <memory>
#include <optional>
#include <type_traits>

#include "platform/AtomicFile.h"
#include "platform/Exceptions.h"

namespace fs = std::filesystem;

namespace {

enum class TKind { Mpeg, Flac, Vorbis, Opus, Mp4 };

std::optional<TKind> KindOf(const fs::path& audio) {
  std::string extension = audio.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  if (extension == ".mp3") return TKind::Mpeg;
  if (extension == ".flac") return TKind::Flac;
  if (extension == ".ogg" || extension == ".oga") return TKind::Vorbis;
  if (extension == ".opus") return TKind::Opus;
  if (extension == ".m4a" || extension == ".mp4") return TKind::Mp4;
  return std::nullopt;
}

std::string Utf8(const TagLib::String& text) { return text.to8Bit(true); }

TagLib::String FromUtf8(std::string_view utf8) { return TagLib::String(std::string(utf8), TagLib::String::UTF8); }

[[noreturn]] void Refuse(const fs::path& audio, const std::string& why) {
  throw EInOutError(audio.string() + " " + why);
}

const char* const kLyricsKey = "LYRICS";
const char* const kUnsyncedKey = "UNSYNCEDLYRICS";
// TagLib names MP4 items in Latin-1: "\251" is the "©".
const char* const kMp4LyricsKey = "\251lyr";

TStoredLyrics ReadXiph(const TagLib::Ogg::XiphComment* comment) {
  if (!comment) return {};
  for (const auto& [key, frame] : {std::pair{kLyricsKey, TLyricsFrame::VorbisLyrics},
                                   std::pair{kUnsyncedKey, TLyricsFrame::VorbisUnsynced}}) {
    const TagLib::Ogg::FieldListMap& fields = comment->fieldListMap();
    const auto found = fields.find(key);
    if (found != fields.end() && !found->second.isEmpty()) return {frame, Utf8(found->second.front()), {}};
  }
  return {};
}

TStoredLyrics ReadId3(TagLib::ID3v2::Tag* tag) {
  if (!tag) return {};
  const TagLib::ID3v2::FrameList unsynced = tag->frameList("USLT");
  if (!unsynced.isEmpty()) {
    const auto* frame = dynamic_cast<const TagLib::ID3v2::UnsynchronizedLyricsFrame*>(unsynced.front());
    if (frame) return {TLyricsFrame::Uslt, Utf8(frame->text()), {}};
  }
  for (TagLib::ID3v2::Frame* any : tag->frameList("SYLT")) {
    const auto* frame = dynamic_cast<const TagLib::ID3v2::SynchronizedLyricsFrame*>(any);
    // Times in MPEG frames need the frame rate: only milliseconds are read.
    if (!frame || frame->timestampFormat() != TagLib::ID3v2::SynchronizedLyricsFrame::AbsoluteMilliseconds) continue;
    TStoredLyrics lyrics{TLyricsFrame::Sylt, {}, {}};
    for (const auto& part : frame->synchedText()) lyrics.Synced.push_back({part.time, Utf8(part.text)});
    return lyrics;
  }
  return {};
}

// Whether TagLib found audio in the file: an MPEG file is valid to TagLib
// even without a single audio frame in it.
template <class File>
bool HoldsAudio(File& file) {
  if constexpr (std::is_same_v<File, TagLib::MPEG::File>) {
    if (file.firstFrameOffset() < 0) return false;
  }
  return file.isValid() && file.audioProperties() != nullptr;
}

// The file opened by TagLib, valid, or an error that names it.
template <class File>
std::unique_ptr<File> Open(const fs::path& path, const fs::path& named) {
  auto file = std::make_unique<File>(path.c_str());
  if (!HoldsAudio(*file)) Refuse(named, "は読めないか、中身がその種類の音声ファイルではありません (タグを解析できません)");
  return file;
}

// Sets the lyrics of a Vorbis comment: the field the file already uses, LYRICS when none.
TLyricsFrame SetXiph(TagLib::Ogg::XiphComment* comment, std::string_view utf8) {
  const TagLib::Ogg::FieldListMap& fields = comment->fieldListMap();
  const bool unsyncedOnly = !fields.contains(kLyricsKey) && fields.contains(kUnsyncedKey);
  comment->addField(unsyncedOnly ? kUnsyncedKey : kLyricsKey, FromUtf8(utf8), true);
  return unsyncedOnly ? TLyricsFrame::VorbisUnsynced : TLyricsFrame::VorbisLyrics;
}

TLyricsFrame SetId3AndSave(TagLib::MPEG::File& file, std::string_view utf8, bool& saved) {
  const bool had = file.hasID3v2Tag();
  TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
  const bool version3 = had && tag->header()->majorVersion() == 3;
  TagLib::ByteVector language("jpn");
  const TagLib::ID3v2::FrameList old = tag->frameList("USLT");
  if (!old.isEmpty()) {
    if (const auto* frame = dynamic_cast<const TagLib::ID3v2::UnsynchronizedLyricsFrame*>(old.front()))
      language = frame->language();
  }
  tag->removeFrames("USLT");
  auto frame = std::make_unique<TagLib::ID3v2::UnsynchronizedLyricsFrame>(version3 ? TagLib::String::UTF16
                                                                                   : TagLib::String::UTF8);
  frame->setLanguage(language);
  frame->setText(FromUtf8(utf8));
  tag->addFrame(frame.release());
  saved = file.save(TagLib::MPEG::File::AllTags, TagLib::File::StripNone,
                    version3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4, TagLib::File::DoNotDuplicate);
  return TLyricsFrame::Uslt;
}

// Sets the lyrics in the copy with TagLib; false when TagLib did not save it.
bool SetLyricsIn(TKind kind, const fs::path& copy, const fs::path& audio, std::string_view utf8, TLyricsFrame& frame) {
  switch (kind) {
    case TKind::Mpeg: {
      const auto file = Open<TagLib::MPEG::File>(copy, audio);
      bool saved = false;
      frame = SetId3AndSave(*file, utf8, saved);
      return saved;
    }
    case TKind::Flac: {
      const auto file = Open<TagLib::FLAC::File>(copy, audio);
      frame = SetXiph(file->xiphComment(true), utf8);
      return file->save();
    }
    case TKind::Vorbis: {
      const auto file = Open<TagLib::Ogg::Vorbis::File>(copy, audio);
      frame = SetXiph(file->tag(), utf8);
      return file->save();
    }
    case TKind::Opus: {
      const auto file = Open<TagLib::Ogg::Opus::File>(copy, audio);
      frame = SetXiph(file->tag(), utf8);
      return file->save();
    }
    case TKind::Mp4: {
      const auto file = Open<TagLib::MP4::File>(copy, audio);
      file->tag()->setItem(kMp4LyricsKey, TagLib::MP4::Item(TagLib::StringList(FromUtf8(utf8))));
      frame = TLyricsFrame::Mp4Lyrics;
      return file->save();
    }
  }
  return false;
}

bool SetLyrics(TKind kind, const fs::path& copy, const fs::path& audio, std::string_view utf8, TLyricsFrame& frame) {
  try {
    return SetLyricsIn(kind, copy, audio, utf8, frame);
  } catch (const EInOutError& e) {
    throw EInOutError(std::string(e.what()) + "。元のファイルはそのままです");
  }
}

// A private copy of a file in the temporary folder, removed with the object.
class TScratchCopy {
 public:
  TScratchCopy(const fs::path& original, const std::string& extension) {
    std::string name = (fs::temp_directory_path() / "verselet-lyrics-XXXXXX").string() + extension;
    const int fd = ::mkstemps(name.data(), static_cast<int>(extension.size()));
    if (fd < 0) throw EInOutError("一時ファイルを作れません (" + SystemErrorText(errno) + ")");
    ::close(fd);
    FPath = name;
    std::error_code error;
    fs::copy_file(original, FPath, fs::copy_options::overwrite_existing, error);
    if (error) {
      Refuse(original, "の写しを一時フォルダに作れません (" + SystemErrorText(error.value()) +
                           ")。元のファイルはそのままです");
    }
  }
  TScratchCopy(const TScratchCopy&) = delete;
  TScratchCopy& operator=(const TScratchCopy&) = delete;
  ~TScratchCopy() {
    std::error_code ignored;
    fs::remove(FPath, ignored);
  }
  const fs::path& Path() const { return FPath; }

 private:
  fs::path FPath;
};

// The copy's bytes over the target, through the safe save.
void Replace(const fs::path& target, const fs::path& copy, bool overwriteReadOnly) {
  std::ifstream in(copy, std::ios::binary);
  TAtomicFile out(target, overwriteReadOnly);
  std::array<char, 1 << 16> block{};
  while (in) {
    in.read(block.data(), block.size());
    out.Write(std::string_view(block.data(), static_cast<std::size_t>(in.gcount())));
  }
  if (in.bad()) Refuse(target, "の書き込み用の写しを読めません。元のファイルはそのままです");
  out.Commit();
}

}  // namespace

const char* LyricsFrameName(TLyricsFrame frame) {
  switch (frame) {
    case TLyricsFrame::None:
      return "なし";
    case TLyricsFrame::Uslt:
      return "ID3 USLT";
    case TLyricsFrame::Sylt:
      return "ID3 SYLT";
    case TLyricsFrame::VorbisLyrics:
      return "Vorbis コメント LYRICS";
    case TLyricsFrame::VorbisUnsynced:
      return "Vorbis コメント UNSYNCEDLYRICS";
    case TLyricsFrame::Mp4Lyrics:
      break;
  }
  return "MP4 \xC2\xA9lyr";
}

bool CanHoldLyrics(const fs::path& audio) { return KindOf(audio).has_value(); }

TStoredLyrics ReadAudioLyrics(const fs::path& audio) {
  const std::optional<TKind> kind = KindOf(audio);
  if (!kind) Refuse(audio, "は歌詞を読み書きできる種類 (.mp3 .flac .ogg .opus .m4a) の音声ファイルではありません");
  std::error_code error;
  if (!fs::is_regular_file(audio, error)) Refuse(audio, "はファイルではないか、ありません");
  switch (*kind) {
    case TKind::Mpeg:
      return ReadId3(Open<TagLib::MPEG::File>(audio, audio)->ID3v2Tag());
    case TKind::Flac:
      return ReadXiph(Open<TagLib::FLAC::File>(audio, audio)->xiphComment());
    case TKind::Vorbis:
      return ReadXiph(Open<TagLib::Ogg::Vorbis::File>(audio, audio)->tag());
    case TKind::Opus:
      return ReadXiph(Open<TagLib::Ogg::Opus::File>(audio, audio)->tag());
    case TKind::Mp4: {
      const auto file = Open<TagLib::MP4::File>(audio, audio);
      if (!file->tag() || !file->tag()->contains(kMp4LyricsKey)) return {};
      const TagLib::StringList text = file->tag()->item(kMp4LyricsKey).toStringList();
      if (text.isEmpty()) return {};
      return {TLyricsFrame::Mp4Lyrics, Utf8(text.front()), {}};
    }
  }
  return {};
}

TLyricsFrame WriteAudioLyrics(const fs::path& audio, std::string_view utf8, bool overwriteReadOnly) {
  const std::optional<TKind> kind = KindOf(audio);
  if (!kind) Refuse(audio, "は歌詞を書き込める種類 (.mp3 .flac .ogg .opus .m4a) の音声ファイルではありません");
  std::error_code error;
  if (!fs::is_regular_file(audio, error)) Refuse(audio, "はファイルではないか、ありません");
  // Refused before anything is copied, as a save is.
  if (CheckSaveTarget(audio) == TSaveObstacle::ReadOnly && !overwriteReadOnly)
    Refuse(audio, "は読み取り専用です。元のファイルはそのままです");
  const TScratchCopy copy(audio, audio.extension().string());
  TLyricsFrame frame = TLyricsFrame::None;
  if (!SetLyrics(*kind, copy.Path(), audio, utf8, frame))
    Refuse(audio, "に歌詞を書き込めませんでした (TagLib が保存に失敗しました)。元のファイルはそのままです");
  Replace(audio, copy.Path(), overwriteReadOnly);
  return frame;
}
