// TGstEnvelopeDecoder: IEnvelopeDecoder on uridecodebin into a fake sink that hands each block of samples over.
#pragma once

#include <memory>

#include "platform/AudioEnvelope.h"

typedef struct _GstElement GstElement;

// The song is decoded as fast as the machine goes (no clock, no output),
// mixed to one channel of 32-bit floats; the streaming thread folds each
// block into peaks at once and lets it go.
class TGstEnvelopeDecoder : public IEnvelopeDecoder {
 public:
  TGstEnvelopeDecoder();
  ~TGstEnvelopeDecoder() override;
  TGstEnvelopeDecoder(const TGstEnvelopeDecoder&) = delete;
  TGstEnvelopeDecoder& operator=(const TGstEnvelopeDecoder&) = delete;

  void Start(const std::filesystem::path& file, TMillis bucket) override;
  void Stop() override;
  TEnvelopeProgress TakeProgress() override;

  // What the streaming thread and the caller share.
  struct TShared;

 private:
  void Finish(TEnvelopeProgress& progress);

  std::unique_ptr<TShared> FShared;
  GstElement* FPipeline = nullptr;
  std::filesystem::path FFile;
  bool FDone = false;
};
