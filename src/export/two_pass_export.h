// The skeleton the CSV, KML and GPX exports share: the flight opened once and replayed twice,
// the first pass to learn what the head needs, the second to write the body.
#pragma once
#include <string>

#include "base/file.h"
#include "replay/replay.h"
#include "replay/sink.h"

namespace krelby {

// One export's own part of the two passes.
class TwoPassWriter {
public:
    virtual ~TwoPassWriter() = default;
    // Creates the output (told the open flight, so that it never writes over it).
    virtual void Open(const InputFile& flight) = 0;
    // What the first pass feeds besides the chart; none by default.
    virtual ReplaySink* FirstPass() { return nullptr; }
    // Writes the head from the first pass's end; the sink of the second pass.
    virtual ReplaySink& SecondPass(const ReplayEnd& first) = 0;
    // Writes the tail and closes the output.
    virtual void Finish() = 0;
};

// Runs `writer` over `flight`. Both passes read the one open file, whatever replaces the name
// meanwhile, and both also feed `chart` when given (the window keeps its chart filled).
// Throws krelby::Error on a file or replay error; nothing is left at the target then.
void TwoPassExport(const std::string& flight, const ReplayInputs& in, ReplaySink* chart, TwoPassWriter& writer);

}  // namespace krelby
