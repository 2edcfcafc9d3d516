// TGstAudioPlayer: playbin with a scaletempo filter; errors become messages for the user.
#include "platform/gstreamer/GstAudioPlayer.h"

#include <gst/gst.h>

#include <cstdlib>

#include "platform/gstreamer/GstMessages.h"

namespace {

constexpr GstClockTime kSettleTimeout = 10 * GST_SECOND;
// playbin's flags: audio only, so that a video or subtitle stream costs nothing.
constexpr guint kPlayAudioOnly = 0x2;

TMillis MillisOf(gint64 nanos) { return TMillis{nanos / GST_MSECOND}; }

}  // namespace

TGstAudioPlayer::TGstAudioPlayer(std::string sinkDescription) : FSinkDescription(std::move(sinkDescription)) {
  if (FSinkDescription.empty()) {
    if (const char* fromEnvironment = std::getenv("VERSELET_AUDIO_SINK")) FSinkDescription = fromEnvironment;
  }
}

TGstAudioPlayer::~TGstAudioPlayer() { Close(); }

GstElement* TGstAudioPlayer::MakeSink() const {
  if (FSinkDescription.empty()) return gst_element_factory_make("autoaudiosink", nullptr);
  GError* error = nullptr;
  GstElement* sink = gst_parse_bin_from_description(FSinkDescription.c_str(), TRUE, &error);
  if (error) {
    const std::string message = "音声の出力 \"" + FSinkDescription + "\" を作れません: " + error->message;
    g_error_free(error);
    if (sink) gst_object_unref(sink);
    throw EAudioError(message);
  }
  return sink;
}

bool TGstAudioPlayer::OutputIsFake() const {
  // The system's output falls back to a fake sink of its own when no device or sound server answers.
  if (!FSinkDescription.empty() || !GST_IS_BIN(FSink)) return false;
  bool fake = false;
  GstIterator* children = gst_bin_iterate_sinks(GST_BIN(FSink));
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(children, &item) == GST_ITERATOR_OK) {
    auto* element = GST_ELEMENT(g_value_get_object(&item));
    GstElementFactory* factory = gst_element_get_factory(element);
    const std::string name = factory ? GST_OBJECT_NAME(factory) : "";
    if (name == "fakesink" || name == "fakeaudiosink") fake = true;
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(children);
  return fake;
}

void TGstAudioPlayer::Open(const std::filesystem::path& file) {
  Close();
  InitGstreamer();
  const std::string uri = FileUri(file);
  FPipeline = gst_element_factory_make("playbin", nullptr);
  GstElement* tempo = gst_element_factory_make("scaletempo", nullptr);
  GstElement* video = gst_element_factory_make("fakesink", nullptr);
  if (!FPipeline || !tempo || !video) {
    for (GstElement* made : {FPipeline, tempo, video})
      if (made) gst_object_unref(made);
    FPipeline = nullptr;
    throw EAudioError("GStreamer の playbin か scaletempo がありません (gstreamer1.0-plugins-base, -good)");
  }
  gst_object_ref_sink(FPipeline);
  try {
    FSink = MakeSink();
  } catch (...) {
    gst_object_unref(tempo);
    gst_object_unref(video);
    Close();
    throw;
  }
  g_object_set(FPipeline, "uri", uri.c_str(), "audio-filter", tempo, "audio-sink", FSink, "video-sink", video, "flags",
               kPlayAudioOnly, "volume", FVolume, nullptr);
  FFile = file;
  gst_element_set_state(FPipeline, GST_STATE_PAUSED);
  const std::string error = Settle();
  if (!error.empty()) {
    Close();
    throw EAudioError(error);
  }
  gint audioStreams = 0;
  g_object_get(FPipeline, "n-audio", &audioStreams, nullptr);
  if (audioStreams == 0) {
    Close();
    throw EAudioError(DisplayName(file) + " には音声がありません");
  }
  FSilent = OutputIsFake();
  if (FRate != 1.0) SeekAt(TMillis{0});
}

std::string TGstAudioPlayer::Settle() {
  GstBus* bus = gst_element_get_bus(FPipeline);
  std::string error;
  for (;;) {
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, kSettleTimeout, static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE));
    if (!message) {
      error = DisplayName(FFile) + " の準備が時間内に終わりませんでした";
      break;
    }
    const bool failed = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR;
    if (failed) error = TakeErrorText(message, FFile);
    const bool fromPipeline = GST_MESSAGE_SRC(message) == GST_OBJECT(FPipeline);
    gst_message_unref(message);
    if (failed || fromPipeline) break;
  }
  gst_object_unref(bus);
  return error;
}

void TGstAudioPlayer::Close() {
  if (!FPipeline) return;
  gst_element_set_state(FPipeline, GST_STATE_NULL);
  gst_object_unref(FPipeline);
  FPipeline = nullptr;
  FSink = nullptr;
  FPlaying = false;
  FSilent = false;
  FPausedAt = TMillis{0};
  FLatency.reset();
  FDuration.reset();
  FFile.clear();
}

void TGstAudioPlayer::Play() {
  if (!FPipeline || FPlaying) return;
  // After the end the song starts again from its beginning.
  if (const auto length = Duration(); length && StreamPosition() >= *length) SeekAt(TMillis{0});
  gst_element_set_state(FPipeline, GST_STATE_PLAYING);
  FPlaying = true;
  FLatency.reset();
}

void TGstAudioPlayer::Pause() {
  if (!FPipeline || !FPlaying) return;
  FPausedAt = StreamPosition();
  gst_element_set_state(FPipeline, GST_STATE_PAUSED);
  FPlaying = false;
  FLatency.reset();
}

void TGstAudioPlayer::SeekAt(TMillis position) {
  gst_element_seek(FPipeline, FRate, GST_FORMAT_TIME,
                   static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE), GST_SEEK_TYPE_SET,
                   static_cast<gint64>(position.count()) * GST_MSECOND, GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
  FPausedAt = position;
  FLatency.reset();
  // A local file settles within milliseconds; the position is then the new one.
  gst_element_get_state(FPipeline, nullptr, nullptr, kSettleTimeout);
}

void TGstAudioPlayer::Seek(TMillis position) {
  if (!FPipeline) return;
  const TMillis length = Duration().value_or(position);
  SeekAt(std::clamp(position, TMillis{0}, length));
}

void TGstAudioPlayer::SetRate(double rate) {
  if (rate <= 0 || rate == FRate) return;
  FRate = rate;
  if (FPipeline) SeekAt(StreamPosition());
}

void TGstAudioPlayer::SetVolume(double volume) {
  FVolume = std::clamp(volume, 0.0, 1.0);
  if (FPipeline) g_object_set(FPipeline, "volume", FVolume, nullptr);
}

std::optional<TMillis> TGstAudioPlayer::Duration() const {
  if (FDuration || !FPipeline) return FDuration;
  gint64 nanos = 0;
  if (!gst_element_query_duration(FPipeline, GST_FORMAT_TIME, &nanos) || nanos < 0) return std::nullopt;
  FDuration = MillisOf(nanos);
  return FDuration;
}

TMillis TGstAudioPlayer::StreamPosition() const {
  gint64 nanos = 0;
  if (!FPipeline || !gst_element_query_position(FPipeline, GST_FORMAT_TIME, &nanos) || nanos < 0) return FPausedAt;
  // The sink answers from the clock with its latency already taken off:
  // what is heard now. The samples handed to the output lie that much further on.
  return MillisOf(nanos) + OutputLatency();
}

bool TGstAudioPlayer::SettledPlaying() const {
  GstState state = GST_STATE_NULL;
  GstState pending = GST_STATE_VOID_PENDING;
  return gst_element_get_state(FPipeline, &state, &pending, 0) == GST_STATE_CHANGE_SUCCESS &&
         state == GST_STATE_PLAYING && pending == GST_STATE_VOID_PENDING;
}

TMillis TGstAudioPlayer::OutputLatency() const {
  if (!FPipeline) return TMillis{0};
  if (FLatency) return *FLatency;
  GstQuery* query = gst_query_new_latency();
  TMillis latency{0};
  if (gst_element_query(FPipeline, query)) {
    gboolean live = FALSE;
    GstClockTime min = 0, max = 0;
    gst_query_parse_latency(query, &live, &min, &max);
    if (GST_CLOCK_TIME_IS_VALID(min)) latency = MillisOf(static_cast<gint64>(min));
  }
  gst_query_unref(query);
  // Until the song plays the output may not have said its latency yet: asked again next time.
  if (SettledPlaying()) FLatency = latency;
  return latency;
}

TPlayerEvents TGstAudioPlayer::TakeEvents() {
  TPlayerEvents events;
  if (!FPipeline) return events;
  GstBus* bus = gst_element_get_bus(FPipeline);
  while (GstMessage* message = gst_bus_pop_filtered(
             bus, static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_EOS | GST_MESSAGE_LATENCY |
                                              GST_MESSAGE_DURATION_CHANGED))) {
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_LATENCY)
      FLatency.reset();
    else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_DURATION_CHANGED)
      FDuration.reset();
    else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS)
      events.Ended = true;
    else if (events.Error.empty())
      events.Error = TakeErrorText(message, FFile);
    gst_message_unref(message);
  }
  gst_object_unref(bus);
  if (events.Ended || !events.Error.empty()) Pause();
  return events;
}
