// CountPreparation: what "プレーヤー向けに整える" would change in the editor's text, counted before it acts.
#pragma once

#include <optional>

#include "app/core/PlayerPrepare.h"

class TRyxStrings;

// Runs the preparation over the logical lines of rows, its output left
// unkept; raises as the preparation itself would (ETextEncodingError).
TPrepareCounts CountPreparation(const TRyxStrings& rows, const TPrepareOptions& options,
                                std::optional<TPlayerDisplay> display);
