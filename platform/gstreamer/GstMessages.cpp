// GStreamer's start-up once a process, and the user's words for its errors.
#include "platform/gstreamer/GstMessages.h"

#include <gst/gst.h>

#include <cctype>
#include <mutex>

#include "platform/AudioPlayer.h"

namespace {

bool IsAacFile(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".m4a" || ext == ".aac" || ext == ".mp4";
}

// The user's message for an error a pipeline posted while it read file.
std::string OpenErrorMessage(const GError* error, const std::filesystem::path& file) {
  const std::string name = DisplayName(file);
  if (error->domain == GST_STREAM_ERROR) {
    switch (error->code) {
      case GST_STREAM_ERROR_TYPE_NOT_FOUND:
      case GST_STREAM_ERROR_WRONG_TYPE:
        return name + " は音声ファイルとして読めません";
      case GST_STREAM_ERROR_CODEC_NOT_FOUND:
        if (IsAacFile(file)) return name + " を再生するには AAC の復号器 (パッケージ gstreamer1.0-libav) が必要です";
        return name + " の形式を再生する部品がインストールされていません";
      case GST_STREAM_ERROR_DECODE:
      case GST_STREAM_ERROR_DEMUX:
        return name + " の音声を復号できません (ファイルが壊れているか途中で切れています)";
      default:
        break;
    }
  }
  if (error->domain == GST_RESOURCE_ERROR &&
      (error->code == GST_RESOURCE_ERROR_NOT_FOUND || error->code == GST_RESOURCE_ERROR_OPEN_READ))
    return name + " を読めません";
  return name + " を再生できません: " + error->message;
}

}  // namespace

void InitGstreamer() {
  static std::once_flag once;
  static std::string failure;
  std::call_once(once, [] {
    GError* error = nullptr;
    if (!gst_init_check(nullptr, nullptr, &error)) {
      failure = error ? error->message : "gst_init";
      if (error) g_error_free(error);
    }
  });
  if (!failure.empty()) throw EAudioError("音声の再生を準備できません: " + failure);
}

std::string DisplayName(const std::filesystem::path& file) { return file.filename().string(); }

std::string TakeErrorText(GstMessage* message, const std::filesystem::path& file) {
  GError* error = nullptr;
  gst_message_parse_error(message, &error, nullptr);
  std::string text = error ? OpenErrorMessage(error, file) : DisplayName(file) + " を再生できません";
  if (error) g_error_free(error);
  return text;
}

std::string FileUri(const std::filesystem::path& file) {
  std::error_code ignored;
  if (!std::filesystem::exists(file, ignored)) throw EAudioError(DisplayName(file) + " が見つかりません");
  if (!std::filesystem::is_regular_file(file, ignored))
    throw EAudioError(DisplayName(file) + " はファイルではありません");
  GError* uriError = nullptr;
  gchar* uri = gst_filename_to_uri(std::filesystem::absolute(file).c_str(), &uriError);
  if (!uri) {
    if (uriError) g_error_free(uriError);
    throw EAudioError(DisplayName(file) + " を開けません");
  }
  std::string text = uri;
  g_free(uri);
  return text;
}
