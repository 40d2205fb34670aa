// What qget prints: one JSON object per URL, ASCII only, and the text the error box would show.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "queueclient/failure.h"

namespace queue::qget {

// A JSON string literal: quotes and backslashes escaped, every UTF-16 unit outside 0x20..0x7E
// written as \uXXXX, so the output is ASCII and lossless.
std::string JsonString(std::u16string_view text);

// {"ok":true,"answer":"..."} with its line end, written to `out` piece by piece: an escaped
// answer can be six times the size of the answer, which is the size of the body or twice it, so
// building the line whole would let qget hold far more than the client does.
void WriteSuccessLine(std::FILE* out, std::u16string_view answer);
// {"ok":false,"kind":"...","message":"...","box":"..."} with "error":N for socket failures and
// "status":N for HTTP status failures.
std::string FailureLine(const Failure& failure);
// A failure that is not of the program's own hierarchy (it should not happen): kind "internal".
std::string InternalFailureLine(std::string_view what);

}  // namespace queue::qget
