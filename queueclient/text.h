// The text helpers moved to core/text.h; this name stays until every include says so.
#pragma once

#include "core/text.h"
