#pragma once

#include "browser/thumbnailcache.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

// The entry points libFuzzer calls; the replaying main calls them the same way.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

namespace Fuzzing {

// A GUI application on the offscreen platform, made once for the whole run.
void startApplication(int *argc, char ***argv);
// The input as bytes; copied, since readers may keep what they read.
QByteArray bytes(const uint8_t *data, size_t size);
// The file every cache entry of the cache target and its seeds stands for. It need not
// exist: the lookup compares what the entry records with these values only.
ThumbnailCache::Source cacheSource();

} // namespace Fuzzing
