#include "settings/Trace.h"

Q_LOGGING_CATEGORY(lcZelvoraTrace, "zelvora.trace", QtInfoMsg)
