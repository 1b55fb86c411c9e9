#pragma once
// `zelvora --screenshot FILE [--dir DIR]`: asks the show running on a working folder for the
// frame on its screen and writes it as PNG. Needs no display and no event loop.

#include "app/AppConstants.h"

#include <QString>

// Empty when the file is written; otherwise the one line that says why not, without its line
// feed. nWaitMs bounds the whole exchange.
QString FetchScreenshot(const QString& folder, const QString& file,
                        int nWaitMs = app::kScreenshotWaitMs);
