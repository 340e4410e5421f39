#include "format/messages.h"

#include "format/datetime.h"

namespace krelby {

MessageTime MessageDateTime(const FlightMessage& m) {
    if (m.Day() == 0 || m.Month() == 0) return {DateStatus::NoDate, 0.0};
    const auto date = EncodeDate(2000 + m.Year(), m.Month(), m.Day());
    if (!date) return {DateStatus::InvalidDate, 0.0};
    const int second = m.Second() > 59 ? 59 : m.Second();
    const auto time = EncodeTime(m.Hour(), m.Minute(), second);
    if (!time) return {DateStatus::InvalidTime, 0.0};
    return {DateStatus::Ok, *date + *time};
}

void MessageClock::NewDay(const FlightMessage& m, uint32_t day) {
    day_ = day;
    date_ = {DateStatus::NoDate, 0.0};
    if (m.Day() != 0 && m.Month() != 0) {
        const std::optional<double> date = EncodeDate(2000 + m.Year(), m.Month(), m.Day());
        date_ = date ? MessageTime{DateStatus::Ok, *date} : MessageTime{DateStatus::InvalidDate, 0.0};
    }
}

}  // namespace krelby
