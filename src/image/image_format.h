// Recognising an image file by its first bytes, before any decoder sees it.
//
// Only three formats are read: PNG by its signature, JPEG only with a JFIF
// header as its first segment, BMP by "BM". The codes are the ones the image
// reader returns. Depends on nothing.
#pragma once

#include <string>

namespace xmo {

inline constexpr int kImageUnknown = 0;
inline constexpr int kImageBmp = 2;
inline constexpr int kImageJpeg = 3;
inline constexpr int kImagePng = 7;

// kImageUnknown also for a file that cannot be opened or is under 10 bytes.
int detectImageFormat(const std::string& fileName);

}  // namespace xmo
