#include "flight_model.h"

#include <algorithm>
#include <cmath>

namespace krelby::gen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kMetresPerDegree = 111320.0;

// Home fields: both hemispheres and both sides of Greenwich, so signs get exercised.
const Airfield kAirfields[] = {
    {46.2237, 14.4576, 1273, 4.5},    // central Europe, inland
    {51.6011, -0.8083, 520, -0.5},    // south-east England
    {47.4800, 8.5400, 1416, 3.0},     // northern Alps foothills
    {-27.5703, 153.0081, 63, 11.0},   // east coast of Australia
    {37.5119, -122.2494, 5, 13.0},    // San Francisco bay
    {60.3172, 24.9633, 179, 9.5},     // southern Finland
};

double Clamp(double v, double lo, double hi) { return std::min(hi, std::max(lo, v)); }
double Approach(double v, double target, double step) { return v + Clamp(target - v, -step, step); }
double Wrap360(double d) { d = std::fmod(d, 360.0); return d < 0 ? d + 360.0 : d; }
double Wrap180(double d) { d = Wrap360(d); return d > 180.0 ? d - 360.0 : d; }

double BearingDeg(double lat1, double lon1, double lat2, double lon2) {
    const double n = (lat2 - lat1);
    const double e = (lon2 - lon1) * std::cos(lat1 * kDeg);
    return Wrap360(std::atan2(e, n) / kDeg);
}
void Move(double& lat, double& lon, double trackDeg, double metres) {
    lat += metres * std::cos(trackDeg * kDeg) / kMetresPerDegree;
    lon += metres * std::sin(trackDeg * kDeg) / (kMetresPerDegree * std::cos(lat * kDeg));
}

// Phase ends as fractions of the flight; short flights simply get short phases.
constexpr double kPhaseEnd[8] = {0.08, 0.11, 0.32, 0.68, 0.84, 0.92, 0.95, 1.0};

}  // namespace

const Airfield& PickAirfield(Rng& rng) {
    return kAirfields[rng.Int(0, static_cast<int>(std::size(kAirfields)) - 1)];
}

FlightPlan MakePlan(Rng& rng, int seconds) {
    FlightPlan p;
    p.seconds = seconds;
    p.home = PickAirfield(rng);
    p.runwayDeg = rng.Int(1, 36) * 10.0;
    p.climbFpm = rng.Range(600, 900);
    const double climbSeconds = (kPhaseEnd[2] - kPhaseEnd[1]) * seconds;
    const double gain = std::min(8500.0, std::max(300.0, 0.9 * p.climbFpm * climbSeconds / 60.0));
    p.cruiseAltFt = std::round((p.home.elevationFt + gain) / 100.0) * 100.0;
    p.cruiseIasKmh = rng.Range(190, 230);
    p.qnhMbar = rng.Range(995, 1030);
    p.oatDeviationC = rng.Range(-8, 12);
    p.windFromDeg = rng.Range(0, 360);
    p.windKmh = rng.Range(0, 30);
    p.legTrackDeg[0] = Wrap360(p.runwayDeg + rng.Range(-60, 60));
    p.legTrackDeg[1] = Wrap360(p.legTrackDeg[0] + rng.Range(-90, 90));
    p.legTrackDeg[2] = Wrap360(p.legTrackDeg[1] + rng.Range(-120, 120));
    p.retractableGear = rng.Chance(0.5);
    p.extender = rng.Chance(0.5);
    p.ilsKind = rng.Int(0, 2);
    return p;
}

FlightModel::FlightModel(const FlightPlan& plan, int monitors, FuelState& fuel, Rng& rng)
    : plan_(plan), monitors_(std::clamp(monitors, 0, 4)), fuel_(fuel), rng_(rng) {
    const int T = std::max(1, plan_.seconds);
    int prev = 0;
    for (int i = 0; i < 8; ++i) {
        phaseEnd_[i] = std::max(prev, static_cast<int>(std::lround(kPhaseEnd[i] * T)));
        prev = phaseEnd_[i];
    }
    phaseEnd_[7] = T;
    const double gain = plan_.cruiseAltFt - plan_.home.elevationFt;
    patternAltFt_ = plan_.home.elevationFt + std::min(1000.0, 0.6 * gain);

    s_.lat = plan_.home.lat;
    s_.lon = plan_.home.lon;
    Move(s_.lat, s_.lon, Wrap360(plan_.runwayDeg - 90), rng_.Range(150, 400));  // the apron
    s_.headingDeg = s_.trackDeg = Wrap360(plan_.runwayDeg + 90);
    s_.altitudeFt = plan_.home.elevationFt;
    s_.qnhMbar = plan_.qnhMbar;
    s_.oatC = 15 + plan_.oatDeviationC - 1.98 * s_.altitudeFt / 1000.0;
    s_.satellites = rng_.Int(6, 11);
    s_.gear = {1, 1, 1};
    s_.waypointLat = plan_.home.lat;
    s_.waypointLon = plan_.home.lon;
    for (int m = 0; m < monitors_; ++m) {
        // Refuelled before the flight when a tank runs low; the calculated levels restart.
        double* tanks = &fuel_.litres[4 * m];
        if (tanks[0] < 25 || tanks[1] < 25) {
            tanks[0] = tanks[2] = std::round(rng_.Range(55, 80));
            tanks[1] = tanks[3] = std::round(rng_.Range(55, 80));
        }
        EngineState& e = s_.engine[m];
        for (int i = 0; i < 12; ++i) e.tcSpread[i] = rng_.Noise(i < 4 ? 25 : 12);
        e.coolantC = e.oilC = e.aux2C = s_.oatC + 4;
        e.aux1C = s_.oatC + 6;
        for (double& tc : e.tc) tc = s_.oatC + 4;
    }
}

Phase FlightModel::PhaseAt(int t) const {
    for (int i = 0; i < 8; ++i)
        if (t < phaseEnd_[i]) return static_cast<Phase>(i);
    return Phase::TaxiIn;
}

void FlightModel::Step() {
    ++second_;
    s_.phase = PhaseAt(second_);
    SteerAndSpeed();
    Fly();
    Engines();
    BurnFuel();
    Systems();
}

void FlightModel::SteerAndSpeed() {
    const int t = second_;
    const int i = static_cast<int>(s_.phase);
    const int begin = i ? phaseEnd_[i - 1] : 0, end = phaseEnd_[i];
    const double f = end > begin ? static_cast<double>(t - begin) / (end - begin) : 1.0;
    const int left = std::max(1, end - t);
    const double rwy = plan_.runwayDeg;
    const double elev = plan_.home.elevationFt;
    tg_ = Targets{};
    tg_.heading = s_.headingDeg;
    s_.onGround = true;
    s_.autopilot = false;
    s_.approachGuidance = false;
    switch (s_.phase) {
        case Phase::TaxiOut:
            tg_.ias = (f < 0.1 || (f > 0.8 && f < 0.92)) ? 0 : 16;
            tg_.heading = f < 0.4 ? rwy + 90 : (f < 0.92 ? rwy + 180 : rwy);
            tg_.accel = 4;
            tg_.flaps = f > 0.7 ? 10 : 0;
            s_.courseDeg = plan_.legTrackDeg[0];
            break;
        case Phase::TakeoffRoll:
            tg_.ias = 115;
            tg_.accel = std::max(6.0, 115.0 / std::max(1, end - begin));
            tg_.heading = rwy;
            tg_.flaps = 10;
            break;
        case Phase::Climb:
            s_.onGround = false;
            tg_.ias = 135;
            tg_.vs = s_.altitudeFt < plan_.cruiseAltFt - 100 ? plan_.climbFpm
                                                              : (plan_.cruiseAltFt - s_.altitudeFt) * 3;
            tg_.heading = f < 0.25 ? rwy : plan_.legTrackDeg[0];
            tg_.flaps = s_.altitudeFt - elev < 300 ? 10 : 0;
            s_.courseDeg = plan_.legTrackDeg[0];
            s_.altitudeBugFt = plan_.cruiseAltFt;
            break;
        case Phase::Cruise:
            s_.onGround = false;
            tg_.ias = plan_.cruiseIasKmh;
            tg_.vs = Clamp((plan_.cruiseAltFt - s_.altitudeFt) * 3, -500, 500);
            tg_.heading = f < 0.5 ? plan_.legTrackDeg[1] : plan_.legTrackDeg[2];
            s_.autopilot = t - begin > 20 && left > 10;
            break;
        case Phase::Descent:
            s_.onGround = false;
            tg_.ias = plan_.cruiseIasKmh - 10;
            tg_.vs = Clamp((patternAltFt_ - s_.altitudeFt) / left * 60.0, -1200, 0);
            tg_.heading = BearingDeg(s_.lat, s_.lon, plan_.home.lat, plan_.home.lon);
            s_.altitudeBugFt = std::round(patternAltFt_ / 100.0) * 100.0;
            break;
        case Phase::Approach:
            s_.onGround = false;
            tg_.ias = 140 - 35 * f;
            tg_.vs = Clamp((elev - s_.altitudeFt) / left * 60.0, -1000, 0);
            tg_.heading = f < 0.6 ? BearingDeg(s_.lat, s_.lon, plan_.home.lat, plan_.home.lon) : rwy;
            tg_.flaps = f < 0.4 ? 20 : 30;
            s_.approachGuidance = plan_.ilsKind != 0;
            break;
        case Phase::Rollout:
            tg_.ias = 20;
            tg_.accel = 8;
            tg_.heading = rwy;
            tg_.flaps = 30;
            break;
        case Phase::TaxiIn:
            tg_.ias = f > 0.85 ? 0 : 14;
            tg_.heading = f < 0.2 ? rwy : (f < 0.6 ? rwy - 90 : rwy + 180);
            tg_.accel = 4;
            break;
    }
    if (s_.phase >= Phase::Cruise && s_.phase <= Phase::Approach) s_.courseDeg = Wrap360(tg_.heading);
    if (s_.phase == Phase::Cruise && (t == begin || t == begin + (end - begin) / 2)) {
        s_.waypointLat = s_.lat;
        s_.waypointLon = s_.lon;
        Move(s_.waypointLat, s_.waypointLon, tg_.heading, 25000);
    } else if (s_.phase == Phase::Descent && t == begin) {
        s_.waypointLat = plan_.home.lat;
        s_.waypointLon = plan_.home.lon;
    }
}

void FlightModel::Fly() {
    const double elev = plan_.home.elevationFt;
    const double prevBank = s_.bankDeg, prevPitch = s_.pitchDeg, prevIas = s_.iasKmh;
    if (s_.phase == Phase::Climb || s_.phase == Phase::Descent) turbulence_ = 0.7;
    else if (s_.phase == Phase::Cruise) turbulence_ = 0.4;
    else turbulence_ = s_.onGround ? 0.1 : 0.8;

    s_.iasKmh = std::max(0.0, Approach(s_.iasKmh, tg_.ias, tg_.accel) + (s_.onGround ? 0 : rng_.Noise(1.5 * turbulence_)));
    if (s_.onGround) {
        s_.verticalSpeedFpm = 0;
        s_.altitudeFt = elev;
    } else {
        s_.verticalSpeedFpm = Approach(s_.verticalSpeedFpm, tg_.vs, 150) + rng_.Noise(60 * turbulence_);
        s_.altitudeFt = std::max(elev, s_.altitudeFt + s_.verticalSpeedFpm / 60.0);
    }
    s_.tasKmh = s_.iasKmh * (1.0 + 0.02 * s_.altitudeFt / 1000.0);
    s_.oatC = 15 + plan_.oatDeviationC - 1.98 * s_.altitudeFt / 1000.0 + rng_.Noise(0.3);

    const double diff = Wrap180(tg_.heading - s_.headingDeg);
    const double maxRate = s_.onGround ? (s_.iasKmh < 1 ? 0 : 15) : 3;
    s_.turnRateDps = Clamp(diff * 0.35, -maxRate, maxRate);
    s_.headingDeg = Wrap360(s_.headingDeg + s_.turnRateDps);

    const double tasMs = s_.tasKmh / 3.6;
    if (s_.onGround) {
        s_.bankDeg = rng_.Noise(0.3);
        s_.pitchDeg = (s_.phase == Phase::TakeoffRoll && second_ + 2 >= phaseEnd_[1]) ? 8 : rng_.Noise(0.3);
        s_.aoaDeg = 0;
        s_.groundspeedKmh = s_.iasKmh;
        s_.trackDeg = s_.headingDeg;
    } else {
        s_.bankDeg = Clamp(std::atan(tasMs * s_.turnRateDps * kDeg / 9.81) / kDeg, -30, 30) +
                     rng_.Noise(2 * turbulence_);
        const double ias = std::max(60.0, s_.iasKmh);
        s_.aoaDeg = 1.5 + 9.0 * (100.0 / ias) * (100.0 / ias) + rng_.Noise(0.3 * turbulence_);
        const double fpa = std::atan2(s_.verticalSpeedFpm * 0.00508, std::max(1.0, tasMs)) / kDeg;
        s_.pitchDeg = fpa + s_.aoaDeg - 1.0;
        const double windTo = (plan_.windFromDeg + 180.0) * kDeg;
        const double n = tasMs * std::cos(s_.headingDeg * kDeg) + plan_.windKmh / 3.6 * std::cos(windTo);
        const double e = tasMs * std::sin(s_.headingDeg * kDeg) + plan_.windKmh / 3.6 * std::sin(windTo);
        s_.groundspeedKmh = std::sqrt(n * n + e * e) * 3.6;
        s_.trackDeg = Wrap360(std::atan2(e, n) / kDeg);
    }
    Move(s_.lat, s_.lon, s_.trackDeg, s_.groundspeedKmh / 3.6);
    s_.aglFt = s_.altitudeFt - elev;

    s_.gLoad = 1.0 / std::cos(s_.bankDeg * kDeg) + rng_.Noise(0.08 * turbulence_ + 0.02);
    s_.lrG = rng_.Noise(0.03 * turbulence_ + 0.01);
    s_.frG = (s_.iasKmh - prevIas) / 3.6 / 9.81 + rng_.Noise(0.01);
    s_.slip = std::round(rng_.Noise(3 * turbulence_));
    s_.bankRateDps = s_.bankDeg - prevBank;
    s_.pitchRateDps = s_.pitchDeg - prevPitch;
    s_.yawRateDps = s_.turnRateDps + rng_.Noise(0.3);

    if (second_ % 30 == 0) s_.satellites = std::clamp(s_.satellites + rng_.Int(-1, 1), 5, 12);
    s_.raimH = rng_.Int(8, 25);
    s_.raimV = rng_.Int(12, 40);
}

void FlightModel::Engines() {
    const int T = phaseEnd_[7];
    const int i = static_cast<int>(s_.phase);
    const int begin = i ? phaseEnd_[i - 1] : 0, end = phaseEnd_[i];
    const double f = end > begin ? static_cast<double>(second_ - begin) / (end - begin) : 1.0;
    const double ambientBar = 1.01325 * std::pow(1 - 6.8756e-6 * s_.altitudeFt, 5.2559);
    const double cool = s_.iasKmh / 200.0;
    for (int m = 0; m < monitors_; ++m) {
        EngineState& e = s_.engine[m];
        double target;
        switch (s_.phase) {
            case Phase::TaxiOut: target = second_ < 2 ? 0 : (tg_.ias > 0 ? 1150 : 980); break;
            case Phase::TakeoffRoll: target = 2650; break;
            case Phase::Climb: target = 2550; break;
            case Phase::Cruise: target = 2400 + 15 * m; break;
            case Phase::Descent: target = 2050; break;
            case Phase::Approach: target = 1900 - 600 * f; break;
            case Phase::Rollout: target = 1100; break;
            default: target = tg_.ias > 0 ? 1100 : 950; break;
        }
        if (second_ >= T - 4 && s_.iasKmh < 20) target = 0;  // shut down at the stand, not rolling
        if (target == 0) e.rpm = std::max(0.0, e.rpm - 700);
        else e.rpm = std::max(0.0, Approach(e.rpm, target, 300) + rng_.Noise(8));
        const bool running = e.rpm > 300;
        const double p = Clamp((e.rpm - 800) / 1900, 0, 1);
        const bool cruise = s_.phase == Phase::Cruise;
        auto lag = [](double& v, double target, double k) { v += (target - v) * k; };

        e.manifoldBar = running ? ambientBar * (0.3 + 0.68 * p) : ambientBar;
        e.oilPressureBar = running ? 1.2 + 3.2 * std::min(1.0, e.rpm / 2300) +
                                         0.9 * Clamp((80 - e.oilC) / 60, 0, 1) + rng_.Noise(0.03) -
                                         0.6 * plan_.engineWear
                                   : 0;
        e.fuelPressureBar = running || s_.fuelPump ? 0.28 + (s_.fuelPump ? 0.05 : 0) + rng_.Noise(0.005) : 0;
        const double oat = s_.oatC;
        lag(e.coolantC, running ? 55 + 40 * p - 8 * cool + 0.3 * oat : oat, 0.012);
        lag(e.oilC, running ? 62 + 40 * p - 6 * cool + 0.3 * oat : oat, 0.006);
        lag(e.aux1C, 21 + 0.1 * oat, 0.01);
        lag(e.aux2C, oat + (running ? 25 * p + 10 : 5), 0.02);
        for (int k = 0; k < 4; ++k)
            lag(e.tc[k], running ? 380 + 380 * p + (cruise ? 25 : 0) + e.tcSpread[k] : oat, 0.08);
        for (int k = 4; k < 8; ++k)
            lag(e.tc[k],
                running ? 70 + 120 * p + (s_.phase == Phase::Climb ? 15 : 0) - 25 * cool + 0.3 * oat + e.tcSpread[k] +
                              25 * plan_.engineWear
                        : oat,
                0.03);
        e.tc[8] = e.oilC - 12 + e.tcSpread[8] * 0.2;
        e.tc[9] = oat + 8 * p;
        e.tc[10] = 20 + (e.coolantC - 20) * 0.5;
        e.tc[11] = 0;  // probe not fitted
        e.fuelFlowLph = running ? 3.5 + 26 * p * std::sqrt(p) * (cruise ? 0.88 : 1.0) + rng_.Noise(0.15) : 0;
        if (sweepRng_) Sweep(e, m + 1);
    }
}

void FlightModel::AddSweeps(std::vector<SweepPlan> plans, double egtNoise, Rng rng) {
    sweeps_ = std::move(plans);
    egtNoise_ = egtNoise;
    sweepRng_ = rng;
}

// The flow as the pilot sets it and the EGTs on their curves over it, while a sweep lasts.
void FlightModel::Sweep(EngineState& e, int monitor) {
    Rng& rng = *sweepRng_;
    for (int k = 0; k < 4; ++k) e.tcNoise[size_t(k)] = egtNoise_ > 0 ? rng.Range(-egtNoise_, egtNoise_) : 0;
    for (SweepPlan& p : sweeps_) {
        const int t = second_ - p.start;
        if (p.monitor != monitor || t < 0 || t > p.Seconds()) continue;
        if (!p.begun) {  // the cruise flow without the RPM's jitter, and the EGTs as they are
            const double power = Clamp((2400 + 15 * (monitor - 1) - 800) / 1900.0, 0, 1);
            p.rich = 3.5 + 26 * power * std::sqrt(power) * 0.88;
            for (int k = 0; k < 4; ++k) p.top[size_t(k)] = e.tc[size_t(k)] + p.BelowTop(k, p.peakBelowRich[size_t(k)]);
            p.begun = true;
        }
        const double ff = p.rich - p.LeanedBy(t);
        e.fuelFlowLph = ff + rng.Noise(0.15);
        for (int k = 0; k < 4; ++k)
            e.tc[size_t(k)] = p.top[size_t(k)] - p.BelowTop(k, ff - (p.rich - p.peakBelowRich[size_t(k)]));
    }
}

void FlightModel::BurnFuel() {
    const bool secondHalf = second_ * 2 >= phaseEnd_[7];
    for (int m = 0; m < monitors_; ++m) {
        const double burn = s_.engine[m].fuelFlowLph / 3600.0;
        const int tank = m * 4 + (secondHalf ? 1 : 0);
        fuel_.litres[tank] = std::max(0.0, fuel_.litres[tank] - burn);
        fuel_.litres[tank + 2] = std::max(0.0, fuel_.litres[tank + 2] - burn * 1.015);
    }
    for (int k = 0; k < 4 * monitors_; ++k)
        s_.fuelLitres[k] = std::max(0.0, fuel_.litres[k] + (k % 4 < 2 ? rng_.Noise(0.3 * turbulence_) : 0));
}

void FlightModel::Systems() {
    s_.flapsDeg = Approach(s_.flapsDeg, tg_.flaps, 2.5);
    const double agl = s_.aglFt;
    const Phase ph = s_.phase;
    if (plan_.retractableGear) {
        const bool wantUp = !s_.onGround && agl > 200 && ph != Phase::Approach && ph != Phase::Descent;
        const bool wantDown = !wantUp;
        for (int g = 0; g < 3; ++g) {
            uint8_t& st = s_.gear[g];
            // The nose gear (gear 1) follows the mains a second later.
            const bool go = g == 0 ? (second_ % 2 == 0) : true;
            if (wantUp && st == 1 && go) st = 2;
            else if (wantUp && st == 2 && rng_.Chance(0.3)) st = 0;
            else if (wantDown && st == 0 && go) st = 2;
            else if (wantDown && st == 2 && rng_.Chance(0.3)) st = 1;
        }
    }
    s_.landingLight = ph == Phase::TakeoffRoll || ph == Phase::Approach || ph == Phase::Rollout ||
                      (ph == Phase::Climb && agl < 1000);
    s_.fuelPump = ph == Phase::TakeoffRoll || ph == Phase::Approach || (ph == Phase::Climb && agl < 500);
    double trim = 100;
    switch (ph) {
        case Phase::Climb: trim = 180; break;
        case Phase::Cruise: trim = 20; break;
        case Phase::Descent: trim = -30; break;
        case Phase::Approach: trim = 260; break;
        default: break;
    }
    s_.pitchTrim = Approach(s_.pitchTrim, trim, 15);
    s_.bankTrim = Approach(s_.bankTrim, s_.onGround ? 0 : plan_.windKmh * 0.4, 2);
    s_.yawTrim = Approach(s_.yawTrim, s_.onGround ? 0 : 12 * (s_.engine[0].rpm / 2500), 2);
}

}  // namespace krelby::gen
