// TGstEnvelopeDecoder: a decoding pipeline without output; the peaks are taken over under a lock.
#include "platform/gstreamer/GstEnvelopeDecoder.h"

#include <gst/gst.h>

#include <mutex>

#include "platform/gstreamer/GstMessages.h"

struct TGstEnvelopeDecoder::TShared {
  std::mutex Lock;
  TMillis Bucket{10};
  std::optional<TPeakAccumulator> Peaks;  // made when the first block tells the sample rate
  int SampleRate = 0;
  std::vector<TEnvelopePeak> Done;
};

namespace {

// Each block of samples, on the streaming thread.
void OnHandoff(GstElement*, GstBuffer* buffer, GstPad* pad, gpointer data) {
  auto& shared = *static_cast<TGstEnvelopeDecoder::TShared*>(data);
  GstMapInfo map;
  if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return;
  const std::lock_guard<std::mutex> lock(shared.Lock);
  if (!shared.Peaks) {
    GstCaps* caps = gst_pad_get_current_caps(pad);
    gint rate = 0;
    if (caps) gst_structure_get_int(gst_caps_get_structure(caps, 0), "rate", &rate);
    if (caps) gst_caps_unref(caps);
    if (rate > 0) {
      shared.SampleRate = rate;
      shared.Peaks.emplace(rate, shared.Bucket);
    }
  }
  if (shared.Peaks)
    shared.Peaks->Add(reinterpret_cast<const float*>(map.data), map.size / sizeof(float), shared.Done);
  gst_buffer_unmap(buffer, &map);
}

}  // namespace

TGstEnvelopeDecoder::TGstEnvelopeDecoder() = default;

TGstEnvelopeDecoder::~TGstEnvelopeDecoder() { Stop(); }

void TGstEnvelopeDecoder::Start(const std::filesystem::path& file, TMillis bucket) {
  Stop();
  InitGstreamer();
  const std::string uri = FileUri(file);
  // The URI is escaped: it holds no blank or quote that the description would read.
  const std::string description = "uridecodebin uri=" + uri +
                                  " ! audioconvert ! audio/x-raw,format=F32LE,channels=1,layout=interleaved"
                                  " ! fakesink name=peaks sync=false signal-handoffs=true";
  GError* error = nullptr;
  GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
  if (error) {
    const std::string message = DisplayName(file) + " を復号できません: " + error->message;
    g_error_free(error);
    if (pipeline) gst_object_unref(pipeline);
    throw EAudioError(message);
  }
  FShared = std::make_unique<TShared>();
  FShared->Bucket = bucket;
  GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "peaks");
  g_signal_connect(sink, "handoff", G_CALLBACK(OnHandoff), FShared.get());
  gst_object_unref(sink);
  FPipeline = pipeline;
  FFile = file;
  FDone = false;
  gst_element_set_state(FPipeline, GST_STATE_PLAYING);
}

void TGstEnvelopeDecoder::Stop() {
  if (!FPipeline) return;
  // Returns once the streaming threads have stopped: none of them touches the shared state after.
  gst_element_set_state(FPipeline, GST_STATE_NULL);
  gst_object_unref(FPipeline);
  FPipeline = nullptr;
  FShared.reset();
}

void TGstEnvelopeDecoder::Finish(TEnvelopeProgress& progress) {
  FDone = true;
  progress.Done = true;
  gst_element_set_state(FPipeline, GST_STATE_NULL);
  const std::lock_guard<std::mutex> lock(FShared->Lock);
  if (FShared->Peaks) FShared->Peaks->Finish(FShared->Done);
  if (progress.Error.empty() && (!FShared->Peaks || FShared->Peaks->Samples() == 0))
    progress.Error = DisplayName(FFile) + " には音声がありません";
}

TEnvelopeProgress TGstEnvelopeDecoder::TakeProgress() {
  TEnvelopeProgress progress;
  if (!FPipeline) return progress;
  progress.Done = FDone;
  if (!FDone) {
    gint64 nanos = 0;
    if (gst_element_query_duration(FPipeline, GST_FORMAT_TIME, &nanos) && nanos > 0)
      progress.Duration = TMillis{nanos / GST_MSECOND};
    GstBus* bus = gst_element_get_bus(FPipeline);
    while (GstMessage* message =
               gst_bus_pop_filtered(bus, static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_EOS))) {
      const bool failed = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR;
      if (failed) progress.Error = TakeErrorText(message, FFile);
      gst_message_unref(message);
      Finish(progress);
      break;
    }
    gst_object_unref(bus);
  }
  const std::lock_guard<std::mutex> lock(FShared->Lock);
  progress.Peaks.swap(FShared->Done);
  if (FShared->Peaks) progress.Decoded = TMillis{static_cast<long long>(FShared->Peaks->Samples()) * 1000 / FShared->SampleRate};
  return progress;
}
