#pragma once

#include <QByteArray>

// Checks on PNG data from elsewhere, made before the toolkit's decoder sees it.
namespace PngData {

// False when a chunk claims more bytes than follow it. The decoder allocates what a chunk's
// header claims before reading it, so a few planted bytes could otherwise claim gigabytes.
bool chunksFit(const QByteArray &data);

} // namespace PngData
