// Reading a whole file's Frames with the finding and testing of them (mostly the CRC-32) on a
// second thread: while the caller decodes the Frames of one block, the next block is read and
// scanned. The caller's handler sees exactly what one FrameScanner fed the file block by
// block would give it, in the same order, on the calling thread.
#pragma once
#include <cstdint>
#include <functional>

#include "base/file.h"
#include "format/crc32.h"
#include "format/frame_scanner.h"

namespace krelby {

// Bytes read and scanned at a time, and the least file size scanned on a second thread.
constexpr size_t kScanBlockSize = 1 << 18;
constexpr uint64_t kPipelinedBytes = 16 * kScanBlockSize;

// Feeds `file` from where it stands to its end through a FrameScanner of `types` (a
// FrameTypeBit each; the others are never tested) into `handler`, whose
// stop test is never asked (the whole file is read). `afterBlock` (optional) is called with
// the bytes read so far once the Frames of each block have been handed on. Returns 0, or the
// errno value of a failed read once every Frame before it was handed on. A file below
// kPipelinedBytes is scanned on the calling thread alone, as is any file while the process's other replays
// leave no core free. The handler's exceptions end the reading and pass.
int ScanWholeFile(InputFile& file, const ChecksumOptions& checks, unsigned types, FrameHandler& handler,
                  const std::function<void(uint64_t done)>& afterBlock = {});

}  // namespace krelby
