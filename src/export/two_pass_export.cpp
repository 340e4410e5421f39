#include "export/two_pass_export.h"

namespace krelby {

void TwoPassExport(const std::string& flight, const ReplayInputs& in, ReplaySink* chart, TwoPassWriter& writer) {
    InputFile input = OpenFlight(flight);
    writer.Open(input);
    const ReplayEnd first = FlightReplay(input, in, {chart, writer.FirstPass()});
    ReplaySink& body = writer.SecondPass(first);
    FlightReplay(input, in, {chart, &body});
    writer.Finish();
}

}  // namespace krelby
