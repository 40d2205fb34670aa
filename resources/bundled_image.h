// Reads a picture compiled into the program.
#pragma once

#include <QImage>
#include <QString>

namespace resources {

// Decodes the PNG resource at `path` (":/..."); a null image when it is missing or damaged.
// The format is named rather than guessed: guessing asks every image format plugin installed
// on the machine to look at the bytes, which loads each of them.
QImage ReadBundledPng(const QString& path);

// Whether the resource at `path` is there and begins as a PNG of a known size; reads only its
// header, so a picture needed later can be checked at start-up without decoding it.
bool BundledPngReadable(const QString& path);

}  // namespace resources
